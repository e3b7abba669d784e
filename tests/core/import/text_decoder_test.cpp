// SPDX-License-Identifier: MIT
#include "core/import/text_decoder.h"

#include <gtest/gtest.h>

#include "core/util/code_page.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::import {
namespace {

using namespace std::string_literals;

std::string utf16LeWithMark(std::u16string_view text)
{
    return "\xFF\xFE"s + utf16::encodeLittleEndian(text);
}

std::string utf16BeWithMark(std::u16string_view text)
{
    std::string bytes = "\xFE\xFF"s;
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c >> 8));
        bytes.push_back(static_cast<char>(c & 0xFF));
    }
    return bytes;
}

std::string utf8WithMark(std::u16string_view text)
{
    return "\xEF\xBB\xBF"s + utf16::toUtf8(text);
}

struct DecodeCase {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
    std::u16string text;
};

// Decodes the case's bytes both from a view and from a buffer given up to
// the decoder (which strips and decodes in place); both must agree.
void expectDecodes(const DecodeCase& c)
{
    const DecodedText viewed = decodeText(std::string_view(c.bytes));
    std::string owned = c.bytes;
    const DecodedText taken = decodeText(std::move(owned));
    for (const DecodedText* decoded : {&viewed, &taken}) {
        const char* form = decoded == &viewed ? " (view)" : " (owned buffer)";
        EXPECT_EQ(decoded->result, DecodeResult::Done) << c.what << form;
        EXPECT_EQ(decoded->encoding, c.encoding) << c.what << form;
        EXPECT_EQ(decoded->text, c.text) << c.what << form;
    }
}

TEST(TextDecoder, RecognisesEachEncoding)
{
    const DecodeCase cases[] = {
        // Byte-order marks decide, and the mark is not part of the text.
        {"UTF-8 mark", utf8WithMark(u"第一章"), TextEncoding::Utf8WithMark, u"第一章"},
        {"UTF-16LE mark", utf16LeWithMark(u"第一章 a"), TextEncoding::Utf16LittleEndian, u"第一章 a"},
        {"UTF-16BE mark", utf16BeWithMark(u"第一章 a"), TextEncoding::Utf16BigEndian, u"第一章 a"},
        // Without a mark the UTF-8 scan decides.
        {"plain UTF-8", utf16::toUtf8(u"西遊記\n"), TextEncoding::Utf8, u"西遊記\n"},
        {"GBK C4 E3 then ASCII", "\xC4\xE3" "abc", TextEncoding::Ansi, u"你abc"},
        {"GB18030 four-byte character", "\x96\x31\xF4\x37 x", TextEncoding::Ansi, u"\U000230C1 x"},
        // A sequence cut off by the end of the file still passes the scan.
        {"truncated UTF-8 at end", "abc\xE4\xBD", TextEncoding::Utf8, u"abc\uFFFD"},
        {"truncated two-byte at end", "abc\xC3", TextEncoding::Utf8, u"abc\uFFFD"},
        // A character beyond U+FFFF keeps the file UTF-8.
        {"four-byte UTF-8", "a\xF0\xA3\x83\x81" "b", TextEncoding::Utf8, u"a\U000230C1b"},
        {"stray continuation byte", "a\x80" "b", TextEncoding::Ansi, u"a\uFFFDb"},
        {"F5 is never UTF-8", "a\xF5", TextEncoding::Ansi, u"a\uFFFD"},
    };
    for (const auto& c : cases)
        expectDecodes(c);
}

TEST(TextDecoder, LeadingCrLfPairsAreSkippedBeforeTheMark)
{
    const DecodeCase cases[] = {
        {"pairs then UTF-8 mark", "\r\n\r\n" + utf8WithMark(u"abc"), TextEncoding::Utf8WithMark, u"abc"},
        {"pair then UTF-16LE mark", "\r\n" + utf16LeWithMark(u"abc"), TextEncoding::Utf16LittleEndian, u"abc"},
        {"pairs then plain text", "\r\n\r\nabc\r\n", TextEncoding::Utf8, u"abc\r\n"},
        // Only CR LF pairs are skipped, not LF CR or a lone LF.
        {"LF CR stays", "\n\rabc", TextEncoding::Utf8, u"\n\rabc"},
        {"lone LF stays", "\nabc", TextEncoding::Utf8, u"\nabc"},
        {"only pairs", "\r\n\r\n", TextEncoding::Utf8, u""},
    };
    for (const auto& c : cases)
        expectDecodes(c);
}

TEST(TextDecoder, MarkupIsStrippedInEveryEncoding)
{
    const std::u16string text = u"<p>abc</p>**";
    const std::string gbk = encodeCodePage(u"<p>你abc</p>**");
    const DecodeCase cases[] = {
        {"UTF-8", utf16::toUtf8(text), TextEncoding::Utf8, u"abc"},
        {"UTF-8 mark", utf8WithMark(text), TextEncoding::Utf8WithMark, u"abc"},
        {"UTF-16LE", utf16LeWithMark(text), TextEncoding::Utf16LittleEndian, u"abc"},
        {"UTF-16BE", utf16BeWithMark(text), TextEncoding::Utf16BigEndian, u"abc"},
        {"ANSI", gbk, TextEncoding::Ansi, u"你abc"},
    };
    for (const auto& c : cases)
        expectDecodes(c);
}

TEST(TextDecoder, BlackStarIsRemovedOnlyFromUtf16)
{
    const std::u16string text = u"★第一章★";
    EXPECT_EQ(decodeText(utf16::toUtf8(text)).text, text);
    EXPECT_EQ(decodeText(utf8WithMark(text)).text, text);
    const DecodedText ansi = decodeText(encodeCodePage(text));
    EXPECT_EQ(ansi.encoding, TextEncoding::Ansi);
    EXPECT_EQ(ansi.text, text);
    EXPECT_EQ(decodeText(utf16LeWithMark(text)).text, u"第一章");
    EXPECT_EQ(decodeText(utf16BeWithMark(text)).text, u"第一章");
}

TEST(TextDecoder, NothingOrFailureForDegenerateFiles)
{
    struct Case {
        const char* what;
        std::string bytes;
        DecodeResult result;
    };
    const Case cases[] = {
        {"empty", "", DecodeResult::SkippedWithNothing},
        {"EF BB without BF", "\xEF\xBB" "abc", DecodeResult::SkippedWithNothing},
        {"EF BB at the end", "\xEF\xBB", DecodeResult::SkippedWithNothing},
        {"pairs then EF BB", "\r\n\xEF\xBBx", DecodeResult::SkippedWithNothing},
        {"big-endian mark alone", "\xFE\xFF", DecodeResult::Failed},
        {"big-endian odd byte", "\xFE\xFF" "A", DecodeResult::Failed},
        {"big-endian starting with NUL", "\xFE\xFF\0\0\0A"s, DecodeResult::Failed},
        {"little-endian mark alone", "\xFF\xFE", DecodeResult::Done},
    };
    for (const auto& c : cases) {
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.result, c.result) << c.what;
        EXPECT_TRUE(decoded.text.empty()) << c.what;
    }
}

TEST(TextDecoder, NulUnitsAreRemoved)
{
    EXPECT_EQ(decodeText("a\0b"s).text, u"ab");
    EXPECT_EQ(decodeText(utf16LeWithMark(u"a\0b"s)).text, u"ab");
    // A NUL in the middle of a big-endian file does not end the text.
    EXPECT_EQ(decodeText(utf16BeWithMark(u"a\0b"s)).text, u"ab");
}

TEST(StripMarkup, RemovesOnlyTagShapedText)
{
    struct Case {
        std::u16string_view input;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {u"<p>abc</p>", u"abc"},
        {u"a<br/>b<!-- note -->c<?xml version?>d", u"abcd"},
        {u"<a href=\"x\">link</a>", u"link"},
        // Title marks written with spaces, as in a real 紅樓夢.
        {u"寶玉讀< <西廂記> >一回", u"寶玉讀< <西廂記> >一回"},
        {u"a < b\nc > d", u"a < b\nc > d"},
        // A tag never spans a line break or contains another '<'.
        {u"<p\n>x", u"<p\n>x"},
        {u"<p\r>x", u"<p\r>x"},
        {u"<<b>>", u"<>"},
        {u"<1>x<>y<", u"<1>x<>y<"},
        {u"x<p", u"x<p"},
        {u"<中>", u"<中>"},
        // '*' goes everywhere, also where it would have been inside a tag.
        {u"**a*b**", u"ab"},
        {u"<*b>", u"<b>"},
    };
    for (const auto& c : cases) {
        std::u16string wide(c.input);
        stripMarkup(wide);
        EXPECT_EQ(wide, c.expected) << utf16::toUtf8(c.input);
        std::string narrow = utf16::toUtf8(c.input);
        stripMarkup(narrow);
        EXPECT_EQ(narrow, utf16::toUtf8(c.expected)) << utf16::toUtf8(c.input);
    }
}

TEST(StripMarkup, LongUnclosedTagsStayLinear)
{
    // A '<' that opens no tag must not make the scan restart: a million
    // of them still decode at once and all survive.
    std::u16string text;
    for (int i = 0; i < 200000; ++i)
        text += u"<ab ";
    stripMarkup(text);
    EXPECT_EQ(text.size(), 800000u);
}

TEST(Utf8Scan, AcceptsWellFormedSequencesOfEveryLength)
{
    EXPECT_TRUE(passesUtf8Scan(""));
    EXPECT_TRUE(passesUtf8Scan("\xC3\xA9\xE4\xBD\xA0\xF0\x9F\x98\x80"));
    EXPECT_TRUE(passesUtf8Scan("abc\xF0\x9F"));  // cut short at the end
    EXPECT_FALSE(passesUtf8Scan("\xF0\x9F\x98" "a"));
    EXPECT_FALSE(passesUtf8Scan("\xE4\xBD" "a"));
    EXPECT_FALSE(passesUtf8Scan("\xC3" "a"));
    EXPECT_FALSE(passesUtf8Scan("\xBF"));
    EXPECT_FALSE(passesUtf8Scan("\xF8\x80\x80\x80"));
}

TEST(BookName, OnlyTheTextExtensionIsRemoved)
{
    struct Case {
        const char* path;
        std::u16string_view name;
    };
    const Case cases[] = {
        {"/books/novel.TXT", u"/books/novel"},
        {"/books/novel.txt", u"/books/novel"},
        {"Text.txt", u"Text"},
        {"novel.Txt", u"novel.Txt"},
        {"/books/西遊記.txt", u"/books/西遊記"},
        {"notes", u"notes"},
        {".txt", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bookNameOf(c.path), c.name) << c.path;
}

TEST(DecodeTextFile, ReadsAFileAndNamesTheBook)
{
    test::TempDir dir;
    test::writeBytes(dir / "novel.TXT", utf8WithMark(u"第一章"));
    auto decoded = decodeTextFile(dir / "novel.TXT");
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->result, DecodeResult::Done);
    EXPECT_EQ(decoded->text, u"第一章");
    EXPECT_EQ(decoded->bookName, utf16::fromUtf8((dir / "novel").string()));
}

TEST(DecodeTextFile, MissingOrEmptyFilesGiveNothing)
{
    test::TempDir dir;
    auto missing = decodeTextFile(dir / "missing.txt");
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(missing->result, DecodeResult::SkippedWithNothing);

    test::writeBytes(dir / "empty.txt", "");
    auto empty = decodeTextFile(dir / "empty.txt");
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty->result, DecodeResult::SkippedWithNothing);
    EXPECT_TRUE(empty->text.empty());
}

TEST(DecodeTextFile, UnreadablePathIsAnError)
{
    test::TempDir dir;
    auto folder = decodeTextFile(dir.path());
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.code(), ErrorCode::FileUnavailable);
}

}  // namespace
}  // namespace veyla::import
