// SPDX-License-Identifier: MIT
#include "core/import/heading_finder.h"

#include <gtest/gtest.h>

#include <random>

namespace veyla::import {
namespace {

using namespace std::string_literals;

// Position of the first occurrence of key in text.
TextPos at(std::u16string_view text, std::u16string_view key)
{
    return utf16::find(text, key, 0);
}

std::u16string filler(std::size_t length, char16_t c = u'文')
{
    return std::u16string(length, c);
}

struct TitleCase {
    const char* what;
    std::u16string text;
    std::u16string key;  // the candidate is the first occurrence of key
    std::u16string title;
};

TEST(HeadingTitleAt, CutsTheLineAroundTheCandidate)
{
    const TitleCase cases[] = {
        {"a plain line", u"前言\n第一章　风雪\n正文", u"第", u"第一章　风雪"},
        {"indent trimmed from the head", u"x\n\u3000\u3000第二章 风雪\ny", u"第", u"第二章 风雪"},
        {"carriage return trimmed from the title", u"x\n第一章\r\ny", u"第", u"第一章"},
        {"tail trim set", u"x\n第一章 --\u3000\ny", u"第", u"第一章"},
        {"file-name characters removed", u"x\n第一章<风>|雪?\ny", u"第", u"第一章风雪"},
        {"edge set trimmed after the tail", u"x\n第一章_*\ny", u"第", u"第一章"},
        {"tail punctuation is kept", u"x\n第三章，风雪\ny", u"第", u"第三章，风雪"},
        {"first line of the text", u"第一章\n正文", u"第", u"第一章"},
        {"candidate in the middle of the line", u"x\n卷一 第一章\ny", u"第", u"卷一 第一章"},
        // Rejections.
        {"head punctuation", u"x\n话说，第三章\ny", u"第", u""},
        {"ASCII comma in the head", u"x\nSo, Chapter 3\ny", u"Chapter", u""},
        {"longer than 45", u"x\n第三章" + filler(43) + u"\ny", u"第", u""},
        {"last line has no line break", u"x\n第三章", u"第", u""},
        {"line goes on past 80", u"x\n第三章" + filler(80) + u"\ny", u"第", u""},
        {"line started more than 80 before", filler(100) + u"第三章\ny", u"第", u""},
        {"two-unit line right before a break", u"\nb\nxyz", u"b", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(headingTitleAt(at(c.text, c.key), c.text), c.title) << c.what;
}

TEST(HeadingTitleAt, ExactlyFortyFiveUnitsIsStillATitle)
{
    const std::u16string line = u"第三章" + filler(42);
    const std::u16string text = u"x\n" + line + u"\ny";
    EXPECT_EQ(headingTitleAt(at(text, u"第"), text), line);
    const std::u16string longer = u"x\n" + line + u"文\ny";
    EXPECT_EQ(headingTitleAt(at(longer, u"第"), longer), u"");
}

TEST(HeadingTitleAt, LineBreakRightAfterTheCandidateTakesTheFollowingText)
{
    // The tail is then everything after the candidate, line breaks included.
    const std::u16string text = u"\nab\nxyz";
    EXPECT_EQ(headingTitleAt(2, text), u"ab\nxyz");
}

TEST(HeadingTitleAt, ImpossiblePositionsGiveNothing)
{
    EXPECT_EQ(headingTitleAt(-1, u"abc\n"), u"");
    EXPECT_EQ(headingTitleAt(10, u"abc\n"), u"");
    EXPECT_EQ(headingTitleAt(0, u""), u"");
}

TEST(IsRejectedHeading, AppliesKeyBlankAndPunctuationRules)
{
    struct Case {
        const char* what;
        std::u16string text;
        std::u16string_view candidate;
        HeadingKey key;
        Leniency leniency;
        Punctuation punctuation;
        bool rejected;
    };
    const std::u16string comma = u"x\n第三章，风雪\ny";
    const std::u16string plain = u"x\n第三章 风雪\ny";
    const Case cases[] = {
        {"prefix and suffix present", plain, u"第", {u"第", u"章"}, Leniency::Strict, Punctuation::Allowed, false},
        {"suffix missing", plain, u"第", {u"第", u"回"}, Leniency::Strict, Punctuation::Allowed, true},
        {"prefix missing", plain, u"三", {u"卷", u""}, Leniency::Strict, Punctuation::Allowed, true},
        // Punctuation is judged only without a key, or when it is forbidden.
        {"comma with a key", comma, u"第", {u"第", u"章"}, Leniency::Strict, Punctuation::Allowed, false},
        {"comma with a key, forbidden", comma, u"第", {u"第", u"章"}, Leniency::Strict, Punctuation::Forbidden,
         true},
        {"comma without a key, strict", comma, u"第", {}, Leniency::Strict, Punctuation::Allowed, true},
        {"comma without a key, lenient", comma, u"第", {}, Leniency::Lenient, Punctuation::Allowed, false},
        {"comma without a key, lenient, forbidden", comma, u"第", {}, Leniency::Lenient, Punctuation::Forbidden,
         true},
        {"small comma is not punctuation", u"x\n第三章\uFE50风雪\ny", u"第", {}, Leniency::Strict,
         Punctuation::Forbidden, false},
        {"blank title", u"x\n\uE771\u2014\uE771\ny", u"\uE771", {}, Leniency::Lenient, Punctuation::Allowed, true},
        {"no candidate", plain, u"无", {}, Leniency::Lenient, Punctuation::Allowed, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isRejectedHeading(at(c.text, c.candidate), c.text, c.key, c.leniency, c.punctuation), c.rejected)
            << c.what;
}

// Chapter text that is long enough to separate headings and has no heading of its own.
std::u16string body(std::size_t lines)
{
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i)
        text += u"天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏。\n";
    return text;
}

const HeadingKey kChapterKey{u"第", u"章"};

TEST(FindNextHeading, ReturnsTheLineStartOfTheNextHeading)
{
    const std::u16string text = body(2) + u"\u3000第一章 甲\n" + body(3) + u"第二章 乙\n" + body(3);
    const TextPos first = at(text, u"\u3000第一章");
    const TextPos second = at(text, u"第二章");
    EXPECT_EQ(findNextHeading(0, kChapterKey, text, Punctuation::Allowed), first);
    EXPECT_EQ(findNextHeading(utf16::lineEndOf(first, text), kChapterKey, text, Punctuation::Allowed), second);
    EXPECT_EQ(findNextHeading(second + 1, kChapterKey, text, Punctuation::Allowed), kNotFound);
    EXPECT_EQ(findNextHeading(-1, kChapterKey, text, Punctuation::Allowed), kNotFound);
}

TEST(FindNextHeading, SuffixMustFollowThePrefix)
{
    // "章" before "第" on the line is not a suffix after the prefix, and no
    // "章" follows anywhere.
    const std::u16string text = body(2) + u"章 第一\n" + body(2);
    EXPECT_EQ(findNextHeading(0, kChapterKey, text, Punctuation::Allowed), kNotFound);
}

TEST(FindNextHeading, HeadingFollowedWithinFortyUnitsByAnotherIsSkipped)
{
    const std::u16string text = body(2) + u"第二章 甲\n第三章 乙\n" + body(3);
    EXPECT_EQ(findNextHeading(0, kChapterKey, text, Punctuation::Allowed), at(text, u"第三章"));
    // Forty units of ordinary text between them keep both.
    const std::u16string apart = body(2) + u"第二章 甲\n" + filler(39) + u"\n第三章 乙\n" + body(3);
    EXPECT_EQ(findNextHeading(0, kChapterKey, apart, Punctuation::Allowed), at(apart, u"第二章"));
}

TEST(FindNextHeading, EmptyKeyTakesEveryShortLine)
{
    const std::u16string text = filler(60) + u"\n" + filler(50) + u"\n短行\n" + filler(50) + u"\n" + filler(50);
    EXPECT_EQ(findNextHeading(0, {}, text, Punctuation::Allowed), at(text, u"短行"));
}

TEST(FindFirstHeading, EmptyKeyAdvancesTheCursorByTwoHundredOrOneHundred)
{
    const std::u16string accepted = u"短行\n" + filler(60) + u"\n" + filler(60) + u"\n";
    TextPos cursor = 0;
    EXPECT_EQ(findFirstHeading(cursor, {}, accepted, Punctuation::Allowed), 0);
    EXPECT_EQ(cursor, 200);

    const std::u16string rejectedFirst = filler(60) + u"\n短行\n" + filler(60) + u"\n";
    cursor = 5;
    EXPECT_EQ(findFirstHeading(cursor, {}, rejectedFirst, Punctuation::Allowed), 61);
    EXPECT_EQ(cursor, 105);

    // A first line longer than the title window: its positions are all rejected.
    const std::u16string longFirst = filler(300) + u"\n短行\n" + filler(60) + u"\n";
    cursor = 0;
    EXPECT_EQ(findFirstHeading(cursor, {}, longFirst, Punctuation::Allowed), 301);
    EXPECT_EQ(cursor, 100);
}

// A preface, then a table of contents whose entries stand closer than 100 units.
std::u16string withContents(std::u16string_view betweenContentsAndBody)
{
    return body(4) + u"目录\n第一章 甲\n" + filler(30) + u"\n第二章 乙\n" + filler(30) + u"\n第三章 丙\n" +
           std::u16string(betweenContentsAndBody) + u"第一章 甲\n" + body(6) + u"第二章 乙\n" + body(6) +
           u"第三章 丙\n" + body(6);
}

TEST(FindFirstHeading, CursorSkipsATableOfContents)
{
    // The search for chapter 2 starts at the first heading that stands at
    // least 100 units after its predecessor: here the body's first heading.
    const std::u16string text = withContents(body(6));
    TextPos cursor = 0;
    const TextPos first = findFirstHeading(cursor, kChapterKey, text, Punctuation::Allowed);
    EXPECT_EQ(first, at(text, u"第一章"));
    EXPECT_EQ(cursor, utf16::find(text, u"第一章", first + 1));
}

TEST(FindFirstHeading, BodyHeadingCloseToTheContentsIsSkippedToo)
{
    const std::u16string text = withContents(u"");
    TextPos cursor = 0;
    const TextPos first = findFirstHeading(cursor, kChapterKey, text, Punctuation::Allowed);
    EXPECT_EQ(first, at(text, u"第一章"));
    const TextPos bodyFirst = utf16::find(text, u"第一章", first + 1);
    EXPECT_EQ(cursor, utf16::find(text, u"第二章", bodyFirst));
}

TEST(FindFirstHeading, SingleHeadingLeavesNoCursor)
{
    const std::u16string text = body(2) + u"第一章 甲\n" + body(5);
    TextPos cursor = 0;
    EXPECT_EQ(findFirstHeading(cursor, kChapterKey, text, Punctuation::Allowed), at(text, u"第一章"));
    EXPECT_EQ(cursor, kNotFound);
}

TEST(FindFirstHeading, NothingAcceptableGivesNoHeading)
{
    const std::u16string text = filler(500) + u"\n" + filler(500);
    TextPos cursor = 0;
    EXPECT_EQ(findFirstHeading(cursor, {}, text, Punctuation::Allowed), kNotFound);
    EXPECT_EQ(findFirstHeading(cursor, kChapterKey, text, Punctuation::Allowed), kNotFound);
    EXPECT_EQ(cursor, 0);
}

// The searches as literally described: a copied 40-unit lookahead searched
// recursively, and a new suffix search for every candidate. The fast
// versions must agree with them everywhere.
TextPos literalFindNext(TextPos from, const HeadingKey& key, const std::u16string& text, Punctuation punctuation)
{
    if (from < 0)
        return kNotFound;
    const std::u16string searchKey = key.prefix.empty() ? u"\n" : std::u16string(key.prefix);
    TextPos e = utf16::find(text, searchKey, from);
    TextPos s = utf16::find(text, key.suffix, e + 1);
    if (e == kNotFound || s == kNotFound)
        return kNotFound;
    while (isRejectedHeading(e, text, key, Leniency::Strict, punctuation)) {
        e = utf16::find(text, searchKey, e + 1);
        s = utf16::find(text, key.suffix, e + 1);
        if (e == kNotFound || s == kNotFound)
            return kNotFound;
    }
    const TextPos lineStart = utf16::lineStartOf(e, text);
    const TextPos lineEnd = utf16::lineEndOf(lineStart, text);
    if (literalFindNext(0, key, text.substr(static_cast<std::size_t>(lineEnd), 40), punctuation) == kNotFound)
        return lineStart;
    return literalFindNext(utf16::lineEndOf(lineStart, text), key, text, punctuation);
}

TextPos literalFindFirst(TextPos& cursor, const HeadingKey& key, const std::u16string& text, Punctuation punctuation)
{
    TextPos i = utf16::find(text, key.prefix, 0);
    TextPos j = utf16::find(text, key.suffix, i + 1);
    if (i == kNotFound || j == kNotFound)
        return kNotFound;
    bool rejected = false;
    while (isRejectedHeading(i, text, key, Leniency::Strict, punctuation)) {
        rejected = true;
        i = utf16::find(text, key.prefix, i + 1);
        j = utf16::find(text, key.suffix, i + 1);
        if (i == kNotFound || j == kNotFound)
            return kNotFound;
    }
    const TextPos lineStart = utf16::lineStartOf(i, text);
    if (key.prefix.empty()) {
        cursor += rejected ? 100 : 200;
        return lineStart;
    }
    TextPos previous = lineStart;
    TextPos next = literalFindNext(utf16::lineEndOf(lineStart, text), key, text, punctuation);
    cursor = next;
    while (next > 100 && next - previous < 100) {
        previous = next;
        next = literalFindNext(utf16::lineEndOf(next, text), key, text, punctuation);
        cursor = next;
    }
    return lineStart;
}

// Lines of heading-like pieces, punctuation, spaces and line ends, some of
// them longer than the 80-unit title window.
std::u16string randomText(std::mt19937& random)
{
    static const std::u16string kLong(37, u'长');
    static const std::u16string_view kPieces[] = {u"第", u"章", u"回", u"二", u"1", u"，", u"。", u"\u3000",
                                                  u" ", u"文", u"字", u"ab", u"-", u"\r", u"\n", u"\n", kLong};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> length(0, 700);
    std::u16string text = random() % 4 == 0 ? kLong + kLong + kLong : u"";
    const int pieces = length(random);
    for (int i = 0; i < pieces; ++i)
        text += kPieces[piece(random)];
    return text;
}

TEST(HeadingSearch, AgreesWithTheLiteralSearchOnRandomTexts)
{
    std::mt19937 random(20240611);
    const HeadingKey keys[] = {{}, {u"第", u"章"}, {u"第", u""}, {u"1", u""}, {u"", u"回"}};
    for (int round = 0; round < 200; ++round) {
        const std::u16string text = randomText(random);
        for (const auto& key : keys) {
            for (const auto punctuation : {Punctuation::Allowed, Punctuation::Forbidden}) {
                for (TextPos from = 0; from <= static_cast<TextPos>(text.size()); from += 29) {
                    ASSERT_EQ(findNextHeading(from, key, text, punctuation),
                              literalFindNext(from, key, text, punctuation))
                        << "round " << round << " from " << from << " text " << utf16::toUtf8(text);
                }
                TextPos cursor = 7;
                TextPos literalCursor = 7;
                ASSERT_EQ(findFirstHeading(cursor, key, text, punctuation),
                          literalFindFirst(literalCursor, key, text, punctuation))
                    << "round " << round << " text " << utf16::toUtf8(text);
                ASSERT_EQ(cursor, literalCursor) << "round " << round;
            }
        }
    }
}

}  // namespace
}  // namespace veyla::import
