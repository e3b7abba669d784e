// SPDX-License-Identifier: MIT
#include "core/import/chapter_number.h"

#include <gtest/gtest.h>

#include <string>

#include "core/util/utf16.h"

namespace veyla::import {
namespace {

constexpr long long kNone = kNoNumber;

struct NumeralCase {
    std::u16string_view text;
    long long value;
    std::size_t length;  // 0: no numeral
};

TEST(ChineseNumeral, ReadsWrittenOutAndPositionalForms)
{
    const NumeralCase cases[] = {
        // Written out, as 水滸傳, 阿Q正傳 and most novels number.
        {u"一", 1, 1},
        {u"十", 10, 1},
        {u"十四", 14, 2},
        {u"二十一", 21, 3},
        {u"七十", 70, 2},
        {u"一百", 100, 2},
        {u"一百零五", 105, 4},
        {u"一百二十", 120, 4},
        {u"一千零一十", 1010, 5},
        {u"兩千三百", 2300, 4},
        {u"两万", 20000, 2},
        {u"三萬五千", 35000, 4},
        {u"一億五千萬", 150000000, 5},
        {u"壹佰貳拾參", 123, 5},
        {u"廿一", 21, 2},
        {u"卅", 30, 1},
        // Positional: one digit per place, with 〇, ○ or 零 for zero
        // (西遊記 writes 第一○回 and 第一○○回, 紅樓夢 第一零零回 and 第一二零回).
        {u"一○", 10, 2},
        {u"一○○", 100, 3},
        {u"一二○", 120, 3},
        {u"一零零", 100, 3},
        {u"一一零", 110, 3},
        {u"九九", 99, 2},
        {u"八三", 83, 2},
        {u"二〇二六", 2026, 4},
        // The numeral ends where its characters end.
        {u"二十回　錦衣", 20, 2},
        // Not numerals: units out of order, digits in a row before a unit,
        // a bare 萬, and text that starts with something else.
        {u"十十", 0, 0},
        {u"二百三千", 0, 0},
        {u"二三十", 0, 0},
        {u"零十", 0, 0},
        {u"萬里", 0, 0},
        {u"回", 0, 0},
        {u"", 0, 0},
    };
    for (const auto& c : cases) {
        const Numeral numeral = readChineseNumeral(c.text);
        EXPECT_EQ(numeral.length, c.length) << utf16::toUtf8(c.text);
        if (c.length > 0) {
            EXPECT_EQ(numeral.value, c.value) << utf16::toUtf8(c.text);
            EXPECT_FALSE(numeral.overflow) << utf16::toUtf8(c.text);
        }
    }
}

TEST(ArabicNumeral, ReadsHalfAndFullWidthDigits)
{
    const NumeralCase cases[] = {
        {u"7", 7, 1},          {u"002", 2, 3},       {u"120回", 120, 3}, {u"１２", 12, 2},
        {u"０３章", 3, 2},     {u"1２3", 123, 3},    {u"x1", 0, 0},      {u"", 0, 0},
        {u"999999999", 999999999, 9},
    };
    for (const auto& c : cases) {
        const Numeral numeral = readArabicNumeral(c.text);
        EXPECT_EQ(numeral.length, c.length) << utf16::toUtf8(c.text);
        EXPECT_EQ(numeral.value, c.value) << utf16::toUtf8(c.text);
    }
}

TEST(RomanNumeral, ReadsOnlyTheUsualForm)
{
    const NumeralCase cases[] = {
        {u"I", 1, 1},         {u"IV", 4, 2},         {u"IX", 9, 2},
        {u"XIV", 14, 3},      {u"XXXV", 35, 4},      {u"XC", 90, 2},
        {u"xlii", 42, 4},     {u"MCMXCIX", 1999, 7}, {u"MMMCMXCIX", 3999, 9},
        {u"XII. The", 12, 3}, {u"V:", 5, 1},
        // Not written the usual way, mixed case, or the start of a word.
        {u"IIII", 0, 0},      {u"IC", 0, 0},         {u"VX", 0, 0},
        {u"Xi", 0, 0},        {u"CIVIL", 0, 0},      {u"IVy", 0, 0},
        {u"MMMM", 0, 0},      {u"", 0, 0},
    };
    for (const auto& c : cases) {
        const Numeral numeral = readRomanNumeral(c.text);
        EXPECT_EQ(numeral.length, c.length) << utf16::toUtf8(c.text);
        EXPECT_EQ(numeral.value, c.value) << utf16::toUtf8(c.text);
    }
}

TEST(NumberWords, ReadsOneToNinetyNine)
{
    const NumeralCase cases[] = {
        {u"One", 1, 3},     {u"twelve", 12, 6},         {u"NINETEEN", 19, 8},     {u"Twenty", 20, 6},
        {u"Twenty-One", 21, 10}, {u"forty two", 42, 9}, {u"Ninety-Nine.", 99, 11}, {u"Thirty-", 30, 6},
        {u"Onely", 0, 0},   {u"hundred", 0, 0},         {u"", 0, 0},
    };
    for (const auto& c : cases) {
        const Numeral numeral = readNumberWords(c.text);
        EXPECT_EQ(numeral.length, c.length) << utf16::toUtf8(c.text);
        EXPECT_EQ(numeral.value, c.value) << utf16::toUtf8(c.text);
    }
}

TEST(Numerals, TooLargeNumbersOverflowInsteadOfWrapping)
{
    const std::u16string longDigits(40, u'9');
    const std::u16string manyUnits(5000, u'萬');
    const std::u16string positional(60, u'九');
    const std::u16string_view texts[] = {u"1000000000", longDigits, u"一萬億", u"十萬萬", u"九九九九九九九九九九"};
    for (const auto text : texts) {
        const Numeral arabic = readArabicNumeral(text);
        const Numeral chinese = readChineseNumeral(text);
        const Numeral& numeral = arabic.length > 0 ? arabic : chinese;
        EXPECT_TRUE(numeral.overflow) << utf16::toUtf8(text);
        EXPECT_FALSE(numeral.found()) << utf16::toUtf8(text);
        EXPECT_EQ(numeral.length, text.size()) << utf16::toUtf8(text);
    }
    EXPECT_TRUE(readChineseNumeral(u"一" + manyUnits).overflow);
    EXPECT_TRUE(readChineseNumeral(positional).overflow);
    EXPECT_EQ(readChineseNumeral(u"九億九千九百九十九萬九千九百九十九").value, 999999999);
}

struct TitleCase {
    std::u16string_view title;
    long long volume;
    long long chapter;
};

TEST(TitleNumbers, ReadsTheHeadingsOfTheCorpusNovels)
{
    const TitleCase cases[] = {
        // 西遊記: written-out and positional numerals, ○ as zero.
        {u"第一回　靈根育孕源流出　心性修持大道生", kNone, 1},
        {u"第十四回　心猿歸正　六賊無蹤", kNone, 14},
        {u"第一一回　還受生唐王遵善果", kNone, 11},
        {u"第一○回　老龍王拙計犯天條", kNone, 10},
        {u"第八三回　心猿識得丹頭", kNone, 83},
        {u"第一○○回　徑回東土　五聖成真", kNone, 100},
        // 紅樓夢: 零 as zero, a bare heading line, an ASCII space after U+3000.
        {u"第一零零回　破好事香菱結深恨", kNone, 100},
        {u"第一二零回　甄士隱詳說太虛情", kNone, 120},
        {u"第三回", kNone, 3},
        {u"第十二回　 王熙鳳毒設相思局", kNone, 12},
        // 水滸傳 and 阿Q正傳.
        {u"第七十回　忠義堂石碣受天文", kNone, 70},
        {u"第一章　序", kNone, 1},
        {u"第五章　生　計　問　題", kNone, 5},
        // The markers of the detection table.
        {u"第 二 章 風雪", kNone, 2},
        {u"第002章", kNone, 2},
        {u"第２章", kNone, 2},
        {u"第二则", kNone, 2},
        {u"第二傳 某某", kNone, 2},
        {u"第十二", kNone, 12},
        // English headings (Tom Sawyer, Pride and Prejudice, Frankenstein).
        {u"CHAPTER I", kNone, 1},
        {u"CHAPTER XXXV", kNone, 35},
        {u"CHAPTER I. Y-o-u-u Tom—Aunt Polly Decides Upon her Duty", kNone, 1},
        {u"Chapter 61", kNone, 61},
        {u"chapter twenty-one", kNone, 21},
        {u"Letter 4", kNone, 4},
        {u"Chap. 7", kNone, 7},
        // A title that starts with a numeral standing alone.
        {u"12", kNone, 12},
        {u"１２　夜雨", kNone, 12},
        {u"十二、夜雨", kNone, 12},
        {u"XII. The Cat", kNone, 12},
        {u"* 3 *", kNone, 3},
        // Numbered sections count among themselves.
        {u"Chapter 1.2", kNone, 2},
        {u"2.10 The Return", kNone, 10},
        {u"1. The Start", kNone, 1},
        // Volumes start a new sequence.
        {u"第二卷　風起", 2, kNone},
        {u"第三部", 3, kNone},
        {u"第一集", 1, kNone},
        {u"第四篇", 4, kNone},
        {u"卷二", 2, kNone},
        {u"卷之三", 3, kNone},
        {u"卷一·初入江湖", 1, kNone},
        {u"第一卷 第三章 歸來", 1, 3},
        {u"卷二 第十一章", 2, 11},
        {u"BOOK II", 2, kNone},
        {u"Part One", 1, kNone},
        {u"Book III, Chapter 4", 3, 4},
        {u"Volume 2 Chapter 1", 2, 1},
        // No number: prose, ordinals that are not headings, words.
        {u"第安了根子，次日回堂", kNone, kNone},
        {u"第一次見面", kNone, kNone},
        {u"楔子　張天師祈禳瘟疫", kNone, kNone},
        {u"PREFACE", kNone, kNone},
        {u"I went home", kNone, kNone},
        {u"mix the flour", kNone, kNone},
        {u"Chapterhouse", kNone, kNone},
        {u"1984年的夏天", kNone, kNone},
        {u"一個人的戰爭", kNone, kNone},
        {u"○ 山中", kNone, kNone},
        {u"", kNone, kNone},
        // Prose that happens to hold a heading-like numeral gives its number:
        // the report then sees it out of sequence.
        {u"此開卷第一回也．作者自云", kNone, 1},
        {u"第四回中既將薛家母子", kNone, 4},
    };
    for (const auto& c : cases) {
        const TitleNumbers numbers = readTitleNumbers(c.title);
        EXPECT_EQ(numbers.volume, c.volume) << utf16::toUtf8(c.title);
        EXPECT_EQ(numbers.chapter, c.chapter) << utf16::toUtf8(c.title);
        EXPECT_FALSE(numbers.overflow) << utf16::toUtf8(c.title);
    }
}

TEST(TitleNumbers, AnOverflowingNumeralIsNoNumber)
{
    for (const std::u16string_view title : {u"第九九九九九九九九九九九九回", u"Chapter 123456789012", u"第一萬億章"}) {
        const TitleNumbers numbers = readTitleNumbers(title);
        EXPECT_FALSE(numbers.hasChapter()) << utf16::toUtf8(title);
        EXPECT_TRUE(numbers.overflow) << utf16::toUtf8(title);
    }
}

}  // namespace
}  // namespace veyla::import
