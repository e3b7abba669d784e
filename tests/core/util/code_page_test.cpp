// SPDX-License-Identifier: MIT
#include "core/util/code_page.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"

namespace veyla {
namespace {

TEST(CodePage, DecodesGbkAndGb18030)
{
    struct Case {
        std::string_view bytes;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {"\xC4\xE3\xBA\xC3 abc", u"你好 abc"},
        {"\xB5\xDA\xD2\xBB\xD5\xC2", u"第一章"},
        // Four-byte GB18030 sequence for a character beyond U+FFFF.
        {"\x96\x31\xF4\x37", u"\U000230C1"},
        // Two-byte codes that GBK decoders reject but GB18030 maps.
        {"\xFE\x80", u"\u4723"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeCodePage(c.bytes), c.expected) << c.bytes;
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters)
{
    // 0x80 alone and 0xFF are not valid GB18030 lead bytes.
    EXPECT_EQ(decodeCodePage("a\xFF" "b"), u"a\uFFFDb");
    // A lead byte cut off at the end of the input.
    EXPECT_EQ(decodeCodePage("ab\xC4"), u"ab\uFFFD");
    EXPECT_EQ(decodeCodePage(""), u"");
}

TEST(CodePage, LargeInputsDecodeCompletely)
{
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "\xC4\xE3";
    const std::u16string text = decodeCodePage(bytes);
    ASSERT_EQ(text.size(), 100000u);
    EXPECT_EQ(text.find_first_not_of(u'你'), std::u16string::npos);
}

TEST(CodePage, EncodingRoundTripsAndMarksMissingCharacters)
{
    EXPECT_EQ(encodeCodePage(u"第一章 abc"), "\xB5\xDA\xD2\xBB\xD5\xC2 abc");
    EXPECT_EQ(decodeCodePage(encodeCodePage(u"\U000230C1")), u"\U000230C1");
    EXPECT_EQ(encodeCodePage(u"a\u4E00", "ISO-8859-1"), "a?");
}

}  // namespace
}  // namespace veyla
