// SPDX-License-Identifier: MIT
#include "core/util/utf16.h"

#include <gtest/gtest.h>

namespace veyla {
namespace {

TEST(Utf16Find, FollowsTheSearchContract)
{
    struct Case {
        std::u16string_view text;
        std::u16string_view key;
        TextPos from;
        TextPos expected;
    };
    const Case cases[] = {
        // Found at or after from.
        {u"abcabc", u"bc", 0, 1},
        {u"abcabc", u"bc", 1, 1},
        {u"abcabc", u"bc", 2, 4},
        // Absent.
        {u"abcabc", u"x", 0, kNotFound},
        {u"abcabc", u"bc", 5, kNotFound},
        // An empty key is found at from, including at the very end.
        {u"abc", u"", 0, 0},
        {u"abc", u"", 2, 2},
        {u"abc", u"", 3, 3},
        // A start beyond the end finds nothing, even an empty key.
        {u"abc", u"", 4, kNotFound},
        {u"abc", u"c", 4, kNotFound},
        // A negative start searches from the beginning.
        {u"abc", u"a", -1, 0},
        // Positions count UTF-16 units: the surrogate pair takes two.
        {u"\U00028001第二章", u"第", 0, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16::find(c.text, c.key, c.from), c.expected)
            << utf16::toUtf8(c.text) << " / " << utf16::toUtf8(c.key) << " from " << c.from;
    }
}

TEST(Utf16Lines, LineStartAndEndFollowLineBreaks)
{
    const std::u16string_view text = u"ab\r\ncd\nef";
    struct Case {
        TextPos pos;
        TextPos start;
        TextPos end;
    };
    const Case cases[] = {
        {0, 0, 4},   // first line, its "\r\n" belongs to it
        {2, 0, 4},   // the "\r" stays part of the line
        {3, 4, 4},   // a "\n" at pos itself counts as at or before pos
        {4, 4, 7},
        {7, 7, 9},   // last line without a break ends at the text length
        {8, 7, 9},
        {-1, 0, 9},  // -1: start 0, end = length
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16::lineStartOf(c.pos, text), c.start) << c.pos;
        EXPECT_EQ(utf16::lineEndOf(c.pos, text), c.end) << c.pos;
    }
}

TEST(Utf16Conversion, Utf8RoundTripsEveryPlane)
{
    const std::u16string text = u"abc 第一章 ★ \U00028001 \U0001F600 end";
    EXPECT_EQ(utf16::fromUtf8(utf16::toUtf8(text)), text);
    EXPECT_EQ(utf16::toUtf8(u"\U000230C1"), "\xF0\xA3\x83\x81");
}

TEST(Utf16Conversion, MalformedUtf8BecomesReplacementCharacters)
{
    struct Case {
        std::string_view bytes;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {"a\x80z", u"a\uFFFDz"},                 // stray continuation byte
        {"a\xC3", u"a\uFFFD"},                   // truncated at the end
        {"\xE4\xBD", u"\uFFFD"},                 // truncated three-byte sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong encoding
        {"\xED\xA0\x80", u"\uFFFD"},  // an encoded surrogate is one bad sequence
        {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16::fromUtf8(c.bytes), c.expected) << c.bytes;
    // A lone surrogate in UTF-16 becomes U+FFFD in UTF-8.
    EXPECT_EQ(utf16::toUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Utf16Conversion, StrictUtf8Validity)
{
    struct Case {
        std::string_view bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"plain ascii", true},
        {"\xE7\xAC\xAC\xE4\xB8\x80", true},  // 第一
        {"\xF0\xA3\x83\x81", true},          // a character beyond U+FFFF
        {"\xC4\xE3", false},                 // GBK 你
        {"\xE7\xAC", false},                 // truncated
        {"\xF8\x88\x80\x80\x80", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16::isValidUtf8(c.bytes), c.valid) << c.bytes;
}

TEST(Utf16Conversion, LittleEndianIgnoresAnOddTrailingByte)
{
    const std::string bytes("\x2C\x7B\x00\x4E\x41", 5);  // 第 一 + a stray byte
    EXPECT_EQ(utf16::decodeLittleEndian(bytes), u"第一");
    EXPECT_EQ(utf16::encodeLittleEndian(u"第一"), std::string("\x2C\x7B\x00\x4E", 4));
    EXPECT_EQ(utf16::decodeLittleEndian(""), u"");
}

TEST(Utf16Helpers, IntegersParseLikeAtoi)
{
    struct Case {
        std::u16string_view text;
        long long expected;
    };
    const Case cases[] = {
        {u"42", 42}, {u"  -17", -17}, {u"+8x", 8}, {u"x8", 0}, {u"", 0}, {u"2147483648", 2147483648LL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16::toInteger(c.text), c.expected) << utf16::toUtf8(c.text);
}

TEST(Utf16Helpers, TrimAndReplace)
{
    EXPECT_EQ(utf16::trim(u" \u3000 title\u3000 ", u" \u3000"), u"title");
    EXPECT_EQ(utf16::trimLeft(u"--x--", u"-"), u"x--");
    EXPECT_EQ(utf16::trimRight(u"--x--", u"-"), u"--x");
    EXPECT_EQ(utf16::trim(u"----", u"-"), u"");
    EXPECT_EQ(utf16::replaceAll(u"a]]>b]]>", u"]]>", u"]]]]><![CDATA[>"), u"a]]]]><![CDATA[>b]]]]><![CDATA[>");
}

TEST(Utf16Helpers, HexDigitValues)
{
    const std::pair<char32_t, int> cases[] = {{U'0', 0}, {U'9', 9}, {U'a', 10}, {U'f', 15}, {U'A', 10}, {U'F', 15},
                                              {U'g', -1}, {U'G', -1}, {U' ', -1}, {U'\uFF10', -1}, {U'/', -1}};
    for (const auto& [c, value] : cases)
        EXPECT_EQ(utf16::hexDigitValue(c), value) << static_cast<unsigned>(c);
    EXPECT_EQ(utf16::hexDigitValue('\xC1'), -1);  // a byte above 0x7F in a plain char
}

}  // namespace
}  // namespace veyla
