// SPDX-License-Identifier: MIT
#include "core/view/spoken_text.h"

#include <gtest/gtest.h>

#include "core/view/chapter_conversion.h"
#include "core/view/reading_model.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

using test::chapterOf;

TEST(SpokenText, LeavesOutSoftLineEndsAndKeepsCodeLineBreaks)
{
    const LayoutEngine engine(test::smallParams());
    // 40 characters need three lines at this width.
    const auto document =
        documentFromChapter(chapterOf({{std::u16string(40, u'字')}, {u"a\r\nb", 1}, {u"𠀀x"}}), engine);
    ASSERT_GT(document.paragraphs[0].lines.size(), 1u);
    EXPECT_EQ(spokenText(document.paragraphs[0]), std::u16string(40, u'字') + u"\r");
    EXPECT_EQ(spokenText(document.paragraphs[1]), u"a\rb\r");
    EXPECT_EQ(spokenText(document.paragraphs[2]), u"𠀀x\r");
    // A surrogate pair is one glyph and two units.
    EXPECT_EQ(unitOffset(document.paragraphs[2], 1), 2u);
    EXPECT_EQ(glyphOffsetOfUnits(document.paragraphs[2], 2), 1u);
    EXPECT_EQ(glyphOffsetOfUnits(document.paragraphs[2], 9), 2u);
}

TEST(SpokenText, AMarkedPieceStaysOnItsCharactersWhenLinesBreakAgain)
{
    ReadingModel model(test::smallParams());
    std::u16string text;
    for (int i = 0; i < 60; ++i)
        text += static_cast<char16_t>(u'一' + i);
    model.open(chapterOf({{text}}));
    markSpoken(model.document().paragraphs[0], 20, 30, true);
    model.setTextSize(14);  // the lines break elsewhere now
    std::u16string spoken;
    for (const auto& line : model.document().paragraphs[0].lines)
        for (const auto& glyph : line.glyphs)
            if (glyph.spoken)
                spoken += glyph.ch;
    EXPECT_EQ(spoken, text.substr(20, 10));
}

TEST(SpokenText, RangesMapThroughAnEditOfTheirParagraph)
{
    struct Case {
        const char* name;
        std::u16string before;
        std::u16string now;
        std::size_t begin, end;
        std::size_t mappedBegin, mappedEnd;
    };
    const Case cases[] = {
        // Nothing changed
        {"same text", u"甲乙丙丁戊", u"甲乙丙丁戊", 1, 3, 1, 3},
        // Edits after the piece leave it alone; edits before move it
        {"typed after", u"甲乙丙丁戊", u"甲乙丙丁新戊", 1, 3, 1, 3},
        {"typed before", u"甲乙丙丁戊", u"新新甲乙丙丁戊", 1, 3, 3, 5},
        {"deleted before", u"甲乙丙丁戊", u"丙丁戊", 2, 4, 0, 2},
        // An edit inside the piece: it covers what replaced the edited part
        {"typed inside", u"甲乙丙丁戊", u"甲乙新丙丁戊", 1, 4, 1, 5},
        {"piece deleted", u"甲乙丙丁戊", u"甲戊", 1, 4, 1, 1},
    };
    for (const auto& c : cases) {
        const auto [begin, end] = mapSpokenRange(c.before, c.now, c.begin, c.end);
        EXPECT_EQ(begin, c.mappedBegin) << c.name;
        EXPECT_EQ(end, c.mappedEnd) << c.name;
    }
}

}  // namespace
}  // namespace veyla::view
