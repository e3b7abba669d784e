// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/view/chapter_conversion.h"
#include "core/view/glyph_style.h"
#include "core/view/paint_geometry.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

TEST(GlyphStyle, FacesFollowTheFontName)
{
    struct Case {
        char16_t ch;
        char16_t low;
        std::u16string_view fontName;
        std::u16string_view body;
        std::u16string_view code;
    };
    const Case cases[] = {
        // No font name: Latin in Andale Mono, Chinese in the large-set Kai face.
        {u'a', 0, u"", kLatinFace, kLatinFace},
        {u'中', 0, u"", kChineseFace, kLatinFace},
        {u'中', 0, u"默认", kChineseFace, kLatinFace},
        // A Chinese face: Latin below 255 still in Andale Mono.
        {u'a', 0, u"楷体", kLatinFace, u"楷体"},
        {u'中', 0, u"楷体", u"楷体", u"楷体"},
        // A Latin face is used for everything; a surrogate pair in code falls back.
        {u'中', 0, u"Noto Serif", u"Noto Serif", u"Noto Serif"},
        {u'\xD840', u'\xDC00', u"Noto Serif", u"Noto Serif", kLatinFace},
    };
    for (const auto& c : cases) {
        const GlyphNode glyph = glyphFor(c.ch, c.low);
        const std::u16string name(c.fontName);
        EXPECT_EQ(bodyFace(glyph, name), c.body) << int(c.ch);
        EXPECT_EQ(codeFace(glyph, name), c.code) << int(c.ch);
    }
    EXPECT_FALSE(isDrawn(glyphFor(u'\r')));
    EXPECT_FALSE(isDrawn(glyphFor(u'\t')));
    EXPECT_TRUE(isDrawn(glyphFor(u' ')));
}

TEST(GlyphStyle, PointSizeKeepsAGlyphAsHighAsItsSize)
{
    EXPECT_EQ(pointSizeTenths(28, 96), 205);   // 28 × 7.5 − 5
    EXPECT_EQ(pointSizeTenths(28, 192), 100);  // 28 × 3.75 = 105 − 5
    EXPECT_EQ(pointSizeTenths(22, 144), 105);  // trunc(110) − 5
}

TEST(GlyphStyle, SelectedAndSpokenColours)
{
    ColourSet colours;
    colours.text = 5;
    colours.textBright = 9;
    GlyphNode glyph = glyphFor(u'字');
    EXPECT_EQ(glyphPaint(glyph, colours).foreground, 5);
    EXPECT_FALSE(glyphPaint(glyph, colours).background);
    glyph.spoken = true;
    EXPECT_EQ(glyphPaint(glyph, colours).foreground, 9);
    glyph.selected = true;
    EXPECT_EQ(glyphPaint(glyph, colours).foreground, 9);
    EXPECT_EQ(glyphPaint(glyph, colours).background, std::optional<Colour>(0));
    glyph.spoken = false;
    EXPECT_EQ(glyphPaint(glyph, colours).foreground, rgb(255, 255, 255));
}

TEST(PaintGeometry, BandsAndDecorationsReachPastThePage)
{
    const LayoutEngine engine(test::smallParams());
    auto document = documentFromChapter(test::chapterOf({{u"一"}, {u"二"}}), engine);
    const auto& paragraph = document.paragraphs[1];
    EXPECT_EQ(bandRight(document, engine.params()), 100 + 400 + 20);
    EXPECT_EQ(paragraphBand(paragraph, document, engine.params()),
              (PixelRect{98, paragraph.top, 520, paragraph.bottom}));
    EXPECT_EQ(decorationRect(paragraph, document, engine.params()), std::nullopt);
    document.paragraphs[1].decoration = 2;
    EXPECT_EQ(decorationRect(document.paragraphs[1], document, engine.params()),
              (PixelRect{100, paragraph.top - 3 - 2, 520, paragraph.bottom - 5}));
    const auto bar = hoverBar(paragraph.lines[0]);
    EXPECT_EQ(bar.top, paragraph.top + 20);
    EXPECT_EQ(bar.height(), 2);
    EXPECT_EQ(bar.left, 120);
}

TEST(PaintGeometry, StripsAndVerticalBars)
{
    EXPECT_EQ(bottomStrip(1200, 800, 50), (PixelRect{0, 750, 1200, 800}));
    RandomEngine engine(3);
    int index = -1;
    const auto picked = stripPicture(index, 4, engine);
    ASSERT_TRUE(picked);
    EXPECT_EQ(static_cast<int>(*picked), index);
    EXPECT_EQ(stripPicture(index, 4, engine), picked);
    EXPECT_EQ(stripPicture(index, 0, engine), std::nullopt);
    // A 80 × 600 picture on a 900-pixel view is 120 wide; the 200 margin leaves 80, half of it is 40.
    const auto bars = verticalBars(80, 600, 900, 1400, 200, 1000, 300, 50);
    EXPECT_EQ(bars.left, (PixelRect{40, 0, 160, 900}));
    EXPECT_EQ(bars.right.width(), 120);
    EXPECT_EQ(bars.right.right, 1400 - 40);
    EXPECT_EQ(verticalBars(80, 600, 900, 1400, 200, 1000, 100, 0).left.width(), 100);
}

}  // namespace
}  // namespace veyla::view
