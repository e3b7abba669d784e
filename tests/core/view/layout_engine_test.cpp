// SPDX-License-Identifier: MIT
#include "core/view/layout_engine.h"

#include <gtest/gtest.h>

#include "core/view/chapter_conversion.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

using test::chapterOf;
using test::lineText;
using test::smallParams;

TEST(GlyphAdvance, FollowsTheSizeFormula)
{
    struct Case {
        char16_t ch;
        double size;
        int spacing;
        double expected;
    };
    const Case cases[] = {
        // A Latin letter takes half the width of a Chinese character.
        {u'a', 28, 0, 14},
        {u'中', 28, 0, 28},
        // The boundary is the code 256.
        {u'\u00FF', 20, 0, 10},
        {u'\u0100', 20, 0, 20},
        // A character spacing of 10 adds 0.1 × size to every advance.
        {u'a', 20, 10, 12},
        {u'中', 20, 10, 22},
        // A surrogate pair is measured by its high unit: a full advance.
        {u'\xD840', 20, 0, 20},
        // The line end counts as a narrow character.
        {u'\r', 20, 0, 10},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LayoutEngine::glyphAdvance(c.ch, c.size, c.spacing), c.expected) << int(c.ch);
}

TEST(Layout, FirstLineOfTextIsIndentedByTwoTextSizes)
{
    const LayoutEngine engine(smallParams());
    const auto document = documentFromChapter(chapterOf({{u"甲乙"}, {u"int x;", 1}}), engine);
    const auto& text = document.paragraphs[0].lines[0].glyphs;
    EXPECT_DOUBLE_EQ(text[0].left, 100 + 2 * 20);
    EXPECT_DOUBLE_EQ(text[1].left, 100 + 2 * 20 + 20);
    const auto& code = document.paragraphs[1].lines[0].glyphs;
    EXPECT_DOUBLE_EQ(code[0].left, 100);
    // Code lines use the code size: 10 for every glyph, half of it for Latin.
    EXPECT_EQ(code[0].size, 10);
    EXPECT_DOUBLE_EQ(code[1].left, 105);
}

// With text size 20 an empty line measures 10 (its "\r") + 2; a Chinese
// character adds 20. A line takes one more character while its width
// (plus 40 for the indent on a first line) is not above the page width.
TEST(Layout, BreaksWhenTheLineIsWiderThanThePage)
{
    struct Case {
        int pageWidth;
        std::size_t firstLine;
        std::size_t secondLine;
    };
    const Case cases[] = {
        // 12 + 5 × 20 + 40 = 152 is not above 152: a sixth character still fits.
        {152, 6, 8},
        // One pixel less and the first line keeps five, the second seven.
        {151, 5, 7},
    };
    for (const auto& c : cases) {
        auto params = smallParams();
        params.pageWidth = c.pageWidth;
        const LayoutEngine engine(params);
        const auto document = documentFromChapter(chapterOf({{std::u16string(30, u'字')}}), engine);
        const auto& lines = document.paragraphs[0].lines;
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[0].contentSize(), c.firstLine) << c.pageWidth;
        EXPECT_EQ(lines[1].contentSize(), c.secondLine) << c.pageWidth;
        EXPECT_FALSE(lines[0].continuation);
        EXPECT_TRUE(lines[1].continuation);
        // A continuation line starts at the margin, without indent.
        EXPECT_DOUBLE_EQ(lines[1].glyphs[0].left, 100);
    }
}

TEST(Layout, EveryLineEndsWithALineEndGlyph)
{
    const LayoutEngine engine(smallParams());
    const auto document = documentFromChapter(chapterOf({{std::u16string(50, u'a')}}), engine);
    std::size_t characters = 0;
    for (const auto& line : document.paragraphs[0].lines) {
        ASSERT_FALSE(line.glyphs.empty());
        EXPECT_EQ(line.glyphs.back().ch, u'\r');
        characters += line.contentSize();
    }
    EXPECT_EQ(characters, 50u);
}

TEST(Layout, HeightsAddRowSpacingToLinesAndParagraphSpacingToParagraphs)
{
    const LayoutEngine engine(smallParams());
    const auto document =
        documentFromChapter(chapterOf({{std::u16string(40, u'字')}, {u"一"}, {u"x = 1;", 1}}), engine);
    const auto& first = document.paragraphs[0];
    ASSERT_EQ(first.lines.size(), 3u);  // 18 + 20 + 2 characters at page width 400
    for (const auto& line : first.lines)
        EXPECT_EQ(line.height, 20 + 5);
    EXPECT_EQ(first.top, 50);
    EXPECT_EQ(first.height, 3 * 25 + 7);
    EXPECT_EQ(first.lines[1].top, 75);
    const auto& second = document.paragraphs[1];
    EXPECT_EQ(second.top, first.bottom);
    EXPECT_EQ(second.height, 25 + 7);
    const auto& code = document.paragraphs[2];
    EXPECT_EQ(code.lines[0].height, 10 + 5);
    EXPECT_EQ(code.height, 15 + 7);
    EXPECT_EQ(document.height, 82 + 32 + 22);
    EXPECT_EQ(second.lines[0].top, second.top);
    EXPECT_EQ(second.lines[0].glyphBottom(second.lines[0].glyphs[0]), second.top + 20);
    const ScrollSize size = engine.scrollSize(document, 300);
    EXPECT_EQ(size.width, 100 + 400 + 20);
    EXPECT_EQ(size.height, document.height + 50 + 5);
    EXPECT_EQ(engine.scrollSize(document, 900).width, 900);
}

TEST(Layout, LineWidthIsTheSumOfAdvancesPlusTwo)
{
    const LayoutEngine engine(smallParams());
    const auto document = documentFromChapter(chapterOf({{u"ab中"}}), engine);
    const auto& line = document.paragraphs[0].lines[0];
    EXPECT_EQ(line.width, 10 + 10 + 20 + 10 + 2);
    EXPECT_DOUBLE_EQ(engine.measureLine(line, document.paragraphs[0]), 52);
}

TEST(Layout, ReflowAfterTextSizeChangeKeepsMarksAndRebreaks)
{
    LayoutEngine engine(smallParams());
    auto document = documentFromChapter(chapterOf({{u"[F3]" + std::u16string(40, u'字') + u"[/F]尾"}}), engine);
    const std::size_t linesBefore = document.paragraphs[0].lines.size();
    engine.params().textSize = 10;
    engine.reflow(document);
    const auto& paragraph = document.paragraphs[0];
    EXPECT_LT(paragraph.lines.size(), linesBefore);
    EXPECT_EQ(paragraph.lines[0].glyphs[0].size, 10);
    EXPECT_EQ(paragraph.lines[0].glyphs[0].annotation, 3);
    EXPECT_EQ(paragraph.lines.back().glyphs[paragraph.lines.back().contentSize() - 1].annotation, 0);
    EXPECT_EQ(paragraph.lines[0].height, 10 + 5);
}

TEST(Layout, ReflowGivesCodeLinesTheNewCodeSizeWithoutRebreaking)
{
    LayoutEngine engine(smallParams());
    auto document = documentFromChapter(chapterOf({{u"a\r\nb", 1}}), engine);
    engine.params().codeSize = 14;
    engine.reflow(document);
    const auto& lines = document.paragraphs[0].lines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].glyphs[0].size, 14);
    EXPECT_EQ(lines[1].height, 14 + 5);
}

TEST(Layout, RelayingOneParagraphMatchesAFullLayout)
{
    const LayoutEngine engine(smallParams());
    auto document = documentFromChapter(chapterOf({{u"一二三"}, {u"四五"}, {u"六"}}), engine);
    auto& middle = document.paragraphs[1];
    auto logical = engine.logicalGlyphs(middle);
    logical.insert(logical.begin() + 1, 30, glyphFor(u'中'));
    engine.setContent(middle, logical);
    engine.relayoutParagraphs(document, 1, 1);
    auto expected = document;
    engine.layoutDocument(expected);
    for (std::size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(document.paragraphs[p].top, expected.paragraphs[p].top);
        EXPECT_EQ(document.paragraphs[p].bottom, expected.paragraphs[p].bottom);
        EXPECT_EQ(document.paragraphs[p].lines[0].top, expected.paragraphs[p].lines[0].top);
    }
    EXPECT_EQ(document.height, expected.height);
}

TEST(Layout, ParagraphModeCentresShortParagraphsAndTopsTallOnes)
{
    const LayoutEngine engine(smallParams());
    auto document = documentFromChapter(chapterOf({{u"短"}, {std::u16string(400, u'长')}}), engine);
    auto& shortOne = document.paragraphs[0];
    engine.placeForParagraphMode(shortOne, 600);
    EXPECT_EQ(shortOne.height, 32);
    EXPECT_EQ(shortOne.top, (600 - 32) / 2);
    EXPECT_EQ(shortOne.left, 100);
    EXPECT_EQ(shortOne.lines[0].top, shortOne.top);
    auto& tall = document.paragraphs[1];
    engine.placeForParagraphMode(tall, 600);
    EXPECT_GE(tall.height, 600 - 100);
    EXPECT_EQ(tall.top, 50);
}

TEST(Layout, OffsetsMapBackToPositions)
{
    auto params = smallParams();
    params.pageWidth = 152;
    const LayoutEngine engine(params);
    const auto document = documentFromChapter(chapterOf({{std::u16string(20, u'字') + u"\r\n" + u"ab", 1}}), engine);
    const auto& paragraph = document.paragraphs[0];
    const std::size_t length = logicalLength(paragraph);
    EXPECT_EQ(length, 23u);
    for (std::size_t offset = 0; offset <= length; ++offset) {
        const auto [line, glyph] = positionOfOffset(paragraph, offset);
        EXPECT_EQ(logicalOffset(paragraph, line, glyph), offset);
    }
}

}  // namespace
}  // namespace veyla::view

namespace veyla::view {
namespace {

// A chapter may hold millions of glyphs: each line holds exactly its glyphs
// and re-breaking keeps every glyph's character, annotation and flags.
TEST(Layout, RebreakingKeepsEveryGlyphAndLinesHoldNoSpareRoom)
{
    LayoutEngine engine(smallParams());
    std::u16string text;
    for (int i = 0; i < 300; ++i)
        text += i % 7 == 0 ? u'a' : static_cast<char16_t>(u'一' + i);
    auto document = documentFromChapter(chapterOf({{u"[F4]" + text.substr(0, 30) + u"[/F]" + text.substr(30)}}), engine);
    auto& paragraph = document.paragraphs[0];
    paragraph.lines[2].glyphs[3].selected = true;
    paragraph.lines[2].glyphs[4].spoken = true;
    const auto before = engine.logicalGlyphs(paragraph);
    for (int size : {13, 31, 20}) {
        engine.params().textSize = size;
        engine.reflow(document);
        const auto after = engine.logicalGlyphs(paragraph);
        ASSERT_EQ(after.size(), before.size()) << size;
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].ch, before[i].ch) << i;
            EXPECT_EQ(after[i].annotation, before[i].annotation) << i;
            EXPECT_EQ(after[i].selected, before[i].selected) << i;
            EXPECT_EQ(after[i].spoken, before[i].spoken) << i;
            EXPECT_EQ(after[i].size, size) << i;
        }
        for (const auto& line : paragraph.lines)
            EXPECT_EQ(line.glyphs.capacity(), line.glyphs.size());
        // The same lines as breaking a copy of the glyphs.
        ParagraphBox fresh = paragraph;
        engine.setContent(fresh, after);
        ASSERT_EQ(fresh.lines.size(), paragraph.lines.size()) << size;
        for (std::size_t l = 0; l < fresh.lines.size(); ++l)
            EXPECT_EQ(lineText(fresh.lines[l]), lineText(paragraph.lines[l])) << l;
    }
    EXPECT_EQ(sizeof(GlyphNode), 16u);
}

}  // namespace
}  // namespace veyla::view

namespace veyla::view {
namespace {

// The text of each display line of a one-paragraph chapter.
std::vector<std::u16string> linesOf(const LayoutEngine& engine, const std::u16string& text)
{
    const auto document = documentFromChapter(chapterOf({{text}}), engine);
    std::vector<std::u16string> lines;
    for (const auto& line : document.paragraphs[0].lines)
        lines.push_back(lineText(line));
    return lines;
}

TEST(Layout, ClosingPunctuationStaysAtTheEndOfTheLineBefore)
{
    // Page 400, size 20, indent 40: the first line takes 18 characters, the next 20.
    LayoutEngine engine(smallParams());
    const std::u16string eighteen(18, u'字');
    const std::u16string twenty(20, u'字');
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"comma", eighteen + u"，下", {eighteen + u"，", u"下"}},
        {"full stop and closing quote", eighteen + u"。」下", {eighteen + u"。」", u"下"}},
        {"on a continuation line", eighteen + twenty + u"！下", {eighteen, twenty + u"！", u"下"}},
        {"Western marks", eighteen + u"),x", {eighteen + u"),", u"x"}},
        // A blank ends the line rather than starting the next.
        {"blank", eighteen + u" x", {eighteen + u" ", u"x"}},
        // An opening mark may start a line.
        {"opening quote", eighteen + u"「下", {eighteen, u"「下"}},
        // A long run of marks breaks after three.
        {"run of marks", eighteen + u"。。。。。", {eighteen + u"。。。", u"。。"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(linesOf(engine, c.text), c.lines) << c.name;
    engine.params().lineStart = LineStartRule::AnyCharacter;
    EXPECT_EQ(linesOf(engine, eighteen + u"，下"), (std::vector<std::u16string>{eighteen, u"，下"}));
}

TEST(Layout, WesternWordsMoveToTheNextLineWhole)
{
    LayoutEngine engine(smallParams());
    const std::u16string sixteen(16, u'字');
    const std::u16string longWord = u"Pneumonoultramicroscopicsilicovolcanoconiosis";
    struct Case {
        const char* name;
        std::u16string text;
        std::u16string secondLineStart;  // the whole word that did not fit
    };
    const Case cases[] = {
        {"plain word", sixteen + u" hello world", u"hello"},
        {"apostrophe", sixteen + u" don't stop", u"don't"},
        {"accented letters", sixteen + u" déjà vu", u"déjà"},
        {"digits", sixteen + u" 12345678", u"12345678"},
        {"after Chinese without a blank", sixteen + u"字Watson", u"Watson"},
    };
    for (const auto& c : cases) {
        const auto lines = linesOf(engine, c.text);
        ASSERT_GE(lines.size(), 2u) << c.name;
        std::u16string joined;
        for (const auto& line : lines)
            joined += line;
        EXPECT_EQ(joined, c.text) << c.name;
        EXPECT_EQ(lines[1].substr(0, c.secondLineStart.size()), c.secondLineStart) << c.name;
        EXPECT_FALSE(isWordCharacter(lines[0].back())) << c.name;
    }
    // A word that fills a whole line, or of which more than 30 characters
    // are on the line already, is broken where the line ends.
    for (const std::u16string& text : {longWord + longWord + longWord, u"ab " + longWord}) {
        const auto kept = linesOf(engine, text);
        engine.params().lineStart = LineStartRule::AnyCharacter;
        EXPECT_EQ(kept, linesOf(engine, text));
        engine.params().lineStart = LineStartRule::NoClosingPunctuation;
    }
    // The plain rule breaks inside words.
    engine.params().lineStart = LineStartRule::AnyCharacter;
    const auto plain = linesOf(engine, sixteen + u" hello world");
    EXPECT_TRUE(isWordCharacter(plain[0].back()));
    EXPECT_TRUE(isWordCharacter(plain[1].front()));
}

}  // namespace
}  // namespace veyla::view
