// SPDX-License-Identifier: MIT
#include "core/import/chapter_naming.h"

#include <gtest/gtest.h>

#include "core/import/letter_table.h"
#include "core/util/utf16.h"

namespace veyla::import {
namespace {

TEST(FileNameForm, KeepsLettersDigitsAndThreeMarks)
{
    struct Case {
        std::u16string_view title;
        std::u16string_view name;
    };
    const Case cases[] = {
        {u"第一章\u3000风雪", u"第一章风雪"},
        {u"第一○回 靈根育孕", u"第一回靈根育孕"},
        {u"Chapter 1. The Boy's Return!", u"Chapter1.TheBoysReturn"},
        {u"a-b_c.d", u"a-b_c.d"},
        {u"《紅樓夢》，「甲」、乙；丙…", u"紅樓夢甲乙丙"},
        {u"ＡＢ１２", u"ＡＢ１２"},
        {u"Ἀχιλλεύς Жизнь", u"ἈχιλλεύςЖизнь"},
        {u"〇々ぁアㄅ한", u"〇々ぁアㄅ한"},
        // Supplementary-plane ideographs are kept whole; emoji and lone halves go.
        {u"𨀁字😀", u"𨀁字"},
        {u"a\xD800" u"b\xDC00" u"c", u"abc"},
        {u"\uE003私用\t\r\n", u"私用"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileNameForm(c.title), c.name) << utf16::toUtf8(c.title);
}

TEST(LetterTable, ClassifiesTheEdgesOfItsRanges)
{
    EXPECT_TRUE(isLetterOrDigit(U'0'));
    EXPECT_TRUE(isLetterOrDigit(U'9'));
    EXPECT_FALSE(isLetterOrDigit(U'/'));
    EXPECT_FALSE(isLetterOrDigit(U':'));
    EXPECT_TRUE(isLetterOrDigit(U'A'));
    EXPECT_FALSE(isLetterOrDigit(U'@'));
    EXPECT_FALSE(isLetterOrDigit(U'×'));
    EXPECT_TRUE(isLetterOrDigit(U'\u4E00'));
    EXPECT_TRUE(isLetterOrDigit(U'\u9FA5'));
    EXPECT_TRUE(isLetterOrDigit(U'\u3FA9'));   // CJK extension A
    EXPECT_TRUE(isLetterOrDigit(U'\U0002A838'));  // extension B
    EXPECT_FALSE(isLetterOrDigit(U'\u3000'));
    EXPECT_FALSE(isLetterOrDigit(U'\u25CB'));  // white circle used as zero
    EXPECT_FALSE(isLetterOrDigit(U'\u00B7'));
    EXPECT_FALSE(isLetterOrDigit(U'\uFF0C'));
    EXPECT_FALSE(isLetterOrDigit(0));
    EXPECT_FALSE(isLetterOrDigit(0x10FFFF));
}

TEST(ToRomanNumeral, CombinesHundredsTensAndUnits)
{
    struct Case {
        int n;
        std::u16string_view numeral;
    };
    const Case cases[] = {
        {1, u"I"},      {2, u"II"},       {3, u"III"},   {4, u"IV"},   {5, u"V"},     {6, u"VI"},
        {7, u"VII"},    {8, u"VIII"},     {9, u"IX"},    {10, u"X"},   {14, u"XIV"},  {40, u"XL"},
        {49, u"XLIX"},  {50, u"L"},       {88, u"LXXXVIII"},           {90, u"XC"},   {99, u"XCIX"},
        {100, u"C"},    {400, u"CD"},     {500, u"D"},   {900, u"CM"}, {944, u"CMXLIV"},
        {999, u"CMXCIX"},
        // Thousands are dropped.
        {1000, u""},    {1001, u"I"},     {2090, u"XC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toRomanNumeral(c.n), c.numeral) << c.n;
}

TEST(ZeroPadded, PadsToTheWidthAndNeverCuts)
{
    EXPECT_EQ(zeroPadded(7, 4), u"0007");
    EXPECT_EQ(zeroPadded(0, 4), u"0000");
    EXPECT_EQ(zeroPadded(12345, 4), u"12345");
    EXPECT_EQ(zeroPadded(1, 5), u"00001");
}

}  // namespace
}  // namespace veyla::import
