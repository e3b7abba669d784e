// SPDX-License-Identifier: MIT
#include "core/view/inline_marks.h"

#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "core/util/utf16.h"
#include "core/view/chapter_conversion.h"
#include "support/test_support.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

std::vector<std::uint16_t> numbers(std::initializer_list<std::uint16_t> list)
{
    return list;
}

TEST(InlineMarks, ParsesRunsAndDecoration)
{
    struct Case {
        std::u16string_view tagged;
        std::u16string_view text;
        std::vector<std::uint16_t> numbers;
        int decoration;
    };
    const Case cases[] = {
        {u"ab", u"ab", numbers({0, 0}), 0},
        {u"a[F3]bc[/F]d", u"abcd", numbers({0, 3, 3, 0}), 0},
        {u"[F1]a[/F][F20]b[/F]", u"ab", numbers({1, 20}), 0},
        {u"[T5]x[F2]y[/F][/T]", u"xy", numbers({0, 2}), 5},
        // Malformed or unmatched tags stay as text.
        {u"[F]a[/F]", u"[F]a[/F]", numbers({0, 0, 0, 0, 0, 0, 0, 0}), 0},
        {u"[Fx]a[/F]", u"[Fx]a[/F]", std::vector<std::uint16_t>(9, 0), 0},
        {u"[F3]abc", u"[F3]abc", std::vector<std::uint16_t>(7, 0), 0},
        {u"[F3a]b[/F]", u"[F3a]b[/F]", std::vector<std::uint16_t>(10, 0), 0},
        {u"[F70000]a[/F]", u"[F70000]a[/F]", std::vector<std::uint16_t>(13, 0), 0},
        {u"[T2]abc", u"[T2]abc", std::vector<std::uint16_t>(7, 0), 0},
        {u"a[/F]b", u"a[/F]b", std::vector<std::uint16_t>(6, 0), 0},
        {u"[F", u"[F", numbers({0, 0}), 0},
        // Number 0 means no mark: such tags are text.
        {u"[F0]a[/F]", u"[F0]a[/F]", std::vector<std::uint16_t>(9, 0), 0},
        {u"[T0]a[/T]", u"[T0]a[/T]", std::vector<std::uint16_t>(9, 0), 0},
        // A run may start before the decoration tag.
        {u"[F3]a[T1]b[/F][/T]", u"ab", numbers({3, 3}), 1},
    };
    for (const auto& c : cases) {
        const MarkedText marked = parseInlineMarks(c.tagged);
        EXPECT_EQ(marked.text, c.text) << utf16::toUtf8(c.tagged);
        EXPECT_EQ(marked.numbers, c.numbers) << utf16::toUtf8(c.tagged);
        EXPECT_EQ(marked.decoration, c.decoration) << utf16::toUtf8(c.tagged);
    }
}

TEST(InlineMarks, ReadingWhatWasWrittenGivesTheSameMarks)
{
    for (std::u16string_view tagged :
         {u"[F3]a[T1]b[F2]c[/F][/T]", u"[T0]a[T5]b[/T]c[/T]", u"x[/F][F1]y[/F]", u"[T2][F9]a[/F]b[/T]tail"}) {
        const MarkedText once = parseInlineMarks(tagged);
        EXPECT_EQ(parseInlineMarks(writeInlineMarks(once)), once) << utf16::toUtf8(tagged);
    }
}

TEST(InlineMarks, FiveGlyphsOfThreeThenTwoOfFourAreTwoRuns)
{
    const MarkedText marked{u"一二三四五六七", numbers({3, 3, 3, 3, 3, 4, 4}), 0};
    EXPECT_EQ(writeInlineMarks(marked), u"[F3]一二三四五[/F][F4]六七[/F]");
}

TEST(InlineMarks, WritesDecorationAroundTheWholeText)
{
    const MarkedText marked{u"ab", numbers({0, 7}), 12};
    EXPECT_EQ(writeInlineMarks(marked), u"[T12]a[F7]b[/F][/T]");
    EXPECT_EQ(parseInlineMarks(writeInlineMarks(marked)), marked);
}

TEST(InlineMarks, OpenSaveOpenKeepsTheMarks)
{
    veyla::test::TempDir dir;
    const auto path = dir / "书/0001_章.xml";
    const library::Chapter original = test::chapterOf({
        {u"[T3]前[F2]标注[/F]后[/T]"},
        {u"[F1]甲[/F][F1]乙[/F]丙𠀀[F5]𠀁[/F]\r"},
        {u"int [F4]x[/F];\r\nreturn x;", 1},
    });
    const LayoutEngine engine(test::smallParams());
    const LayoutDocument first = documentFromChapter(original, engine);
    ASSERT_TRUE(library::writeChapter(path, chapterFromDocument(first, engine), {}).ok());
    auto reread = library::readChapter(path, {});
    ASSERT_TRUE(reread.ok());
    const LayoutDocument second = documentFromChapter(*reread, engine);
    ASSERT_EQ(second.paragraphs.size(), first.paragraphs.size());
    for (std::size_t p = 0; p < first.paragraphs.size(); ++p) {
        EXPECT_EQ(markedTextOf(second.paragraphs[p], engine), markedTextOf(first.paragraphs[p], engine));
        EXPECT_EQ(second.paragraphs[p].decoration, first.paragraphs[p].decoration);
    }
    EXPECT_EQ(first.paragraphs[0].decoration, 3);
    EXPECT_EQ(reread->paragraphs[1].runs[0].text, u"[F1]甲乙[/F]丙𠀀[F5]𠀁[/F]");
    EXPECT_EQ(reread->paragraphs[2].runs[0].text, u"int [F4]x[/F];\r\nreturn x;");
}

}  // namespace
}  // namespace veyla::view
