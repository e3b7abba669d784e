// SPDX-License-Identifier: MIT
// Books whose headings the markers do not find are cut by Arabic numbers,
// then Roman numerals, then into fixed pieces.
#include <gtest/gtest.h>

#include "core/import/chapter_naming.h"
#include "core/import/chapter_splitter.h"
#include "split_checks.h"

namespace veyla::import {
namespace {

using test::chapterNames;
using test::chaptersOf;
using test::expectConsistentPlan;

// Lines that no heading rule accepts and that hold no digit, Latin letter or space.
std::u16string body(std::size_t lines)
{
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i)
        text += u"天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏。\n";
    return text;
}

ImportPlan split(std::u16string_view text)
{
    ImportPlan plan = splitIntoChapters(u"书", text, {});
    expectConsistentPlan(plan, text);
    return plan;
}

TEST(FixedPieces, TextWithoutLineBreaksIsOnePiece)
{
    const std::u16string text(25000, u'文');
    const ImportPlan plan = split(text);
    EXPECT_EQ(plan.style.source, HeadingSource::FixedPieces);
    EXPECT_EQ(chapterNames(plan), (std::vector<std::string>{"00001.xml"}));
    EXPECT_EQ(chaptersOf(plan)[0]->text, text);
}

TEST(FixedPieces, LineBreakAtExactly9000StartsTheSecondPiece)
{
    std::u16string text(25000, u'文');
    text[9000] = u'\n';
    const ImportPlan plan = split(text);
    EXPECT_EQ(chapterNames(plan), (std::vector<std::string>{"00001.xml", "00002.xml"}));
    EXPECT_EQ(chaptersOf(plan)[0]->text.size(), 9000u);
    EXPECT_EQ(chaptersOf(plan)[1]->text.size(), 25000u - 9001u);
}

TEST(FixedPieces, PiecesAreAtLeast9000UnitsAndEndAtLineBreaks)
{
    const std::u16string text = body(1000);
    const ImportPlan plan = split(text);
    EXPECT_EQ(plan.style.source, HeadingSource::FixedPieces);
    const auto pieces = chaptersOf(plan);
    ASSERT_EQ(pieces.size(), 3u);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_GE(pieces[i]->text.size(), 9000u);
        EXPECT_LT(pieces[i]->text.size(), 9000u + 26u);
        EXPECT_EQ(text[pieces[i]->sourceOffset + pieces[i]->text.size()], u'\n');
    }
}

// A book whose chapters start with Roman numerals and a space; every line
// carries a full stop, so no line counts as a heading on its own.
std::u16string romanBook(int chapters)
{
    std::u16string text;
    for (int n = 1; n <= chapters; ++n)
        text += toRomanNumeral(n) + u" 回目。\n" + body(10);
    return text;
}

TEST(RomanNumerals, ChaptersStartAtEachNumeral)
{
    const std::u16string text = romanBook(95);
    const ImportPlan plan = split(text);
    EXPECT_EQ(plan.style.source, HeadingSource::RomanNumerals);
    const auto chapters = chaptersOf(plan);
    ASSERT_EQ(chapters.size(), 95u);
    EXPECT_EQ(chapters[0]->name, u"0001.xml");
    EXPECT_EQ(chapters[0]->text.substr(0, 4), u"I 回目");
    EXPECT_EQ(chapters[89]->name, u"0090.xml");
    EXPECT_EQ(chapters[89]->text.substr(0, 5), u"XC 回目");
    EXPECT_EQ(chapters[94]->text.substr(0, 6), u"XCV 回目");
}

TEST(RomanNumerals, FirstGapOf200UnitsOrLessIsNotRoman)
{
    std::u16string text = u"I 回目。\nII 回目。\n";
    text += body(900);
    EXPECT_EQ(split(text).style.source, HeadingSource::FixedPieces);
}

// Chapters "·1卷", "·2卷", ...: "卷" right before the line break is never a
// heading position, so the volume style found by "卷二" yields nothing and
// the numbers take over. The marks before "1" and the final "·" keep the
// style's suffix after every number.
std::u16string arabicBook()
{
    std::u16string text = u"卷一·" + std::u16string(60, u'长') + u"\n" + body(20);
    for (int n = 1; n <= 5; ++n) {
        text += u"·" + utf16::number(n) + u"卷\n" + body(160);
        if (n == 1)
            text += u"卷二 甲\n" + body(10);
    }
    return text + u"完·\n";
}

TEST(ArabicNumbers, ChaptersStartAtEachNumberAndTheTextBeforeIsDropped)
{
    const std::u16string text = arabicBook();
    const ImportPlan plan = split(text);
    EXPECT_EQ(plan.style.source, HeadingSource::ArabicNumbers);
    EXPECT_EQ(chapterNames(plan),
              (std::vector<std::string>{"0001.xml", "0002.xml", "0003.xml", "0004.xml", "0005.xml"}));
    const auto chapters = chaptersOf(plan);
    EXPECT_EQ(chapters[0]->sourceOffset, text.find(u"·1卷"));
    EXPECT_EQ(chapters[4]->text.substr(0, 3), u"·5卷");
    EXPECT_EQ(chapters[4]->sourceOffset + chapters[4]->text.size(), text.size());
}

TEST(ArabicNumbers, UnconfirmedFirstNumberLeavesAnEmptyBook)
{
    // The line with "1" passes the volume style's test, but no "·" follows
    // it, so no heading with "1" can be confirmed.
    const std::u16string text =
        u"卷一·" + std::u16string(60, u'长') + u"\n" + body(20) + u"·卷1甲\n" + body(200) + u"卷二 甲\n" + body(600);
    const ImportPlan plan = splitIntoChapters(u"书", text, {});
    ASSERT_EQ(plan.nodes.size(), 1u);
    EXPECT_EQ(plan.nodes[0].kind, NodeKind::Folder);
    EXPECT_EQ(plan.style.source, HeadingSource::ArabicNumbers);
    EXPECT_EQ(plan.warnings.size(), 1u);
}

TEST(NumberedChapters, LongOnesAreCutIntoPartsOfAtLeast10000)
{
    // Chapter I holds 21000 units, more than the 20000 of numbered chapters.
    std::u16string text = u"I 回目。\n" + body(808) + u"II 回目。\n" + body(100) + u"III 回目。\n" + body(100);
    const ImportPlan plan = split(text);
    EXPECT_EQ(plan.style.source, HeadingSource::RomanNumerals);
    EXPECT_EQ(chapterNames(plan),
              (std::vector<std::string>{"0001_0001.xml", "0001_0002.xml", "0001_0003.xml", "0002.xml", "0003.xml"}));
    const auto chapters = chaptersOf(plan);
    EXPECT_GE(chapters[0]->text.size(), 10000u);
    EXPECT_GE(chapters[1]->text.size(), 10000u);
}

}  // namespace
}  // namespace veyla::import
