// SPDX-License-Identifier: MIT
#include "core/speech/speech_piece.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::speech {
namespace {

// Every piece of a paragraph, in order.
std::vector<SpeechPiece> allPieces(std::u16string_view paragraph)
{
    std::vector<SpeechPiece> pieces;
    for (TextPos pos = 0;;) {
        SpeechPiece piece = cutSpeechPiece(paragraph, pos);
        if (piece.empty())
            break;
        EXPECT_GT(piece.end, pos) << "a piece must move forward";
        pos = piece.end;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::vector<std::u16string> pieceTexts(std::u16string_view paragraph)
{
    std::vector<std::u16string> texts;
    for (const auto& piece : allPieces(paragraph))
        texts.push_back(piece.text);
    return texts;
}

std::string show(const std::vector<std::u16string>& texts)
{
    std::string out;
    for (const auto& text : texts)
        out += "[" + utf16::toUtf8(text) + "]";
    return out;
}

struct CutCase {
    const char* what;
    std::u16string paragraph;
    std::vector<std::u16string> pieces;
};

void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << c.what;
}

class SpeechPieceCutting : public ::testing::TestWithParam<CutCase> {};

TEST_P(SpeechPieceCutting, CutsThePiecesExpected)
{
    const CutCase& c = GetParam();
    EXPECT_EQ(show(pieceTexts(c.paragraph)), show(c.pieces)) << c.what;
}

// "𨀁" (U+28001) is one glyph of two UTF-16 units.
INSTANTIATE_TEST_SUITE_P(
    Examples, SpeechPieceCutting,
    ::testing::Values(
        // Short paragraphs are one piece with their punctuation.
        CutCase{"short paragraph", u"你好，世界。\r", {u"你好，世界。"}},
        CutCase{"two characters, comma, two characters, stop", u"天地，玄黄。\r", {u"天地，玄黄。"}},
        // A clause ends before punctuation once it holds more than 10 glyphs.
        CutCase{"comma after the 12th character",
                u"一二三四五六七八九十甲乙，丙丁戊己庚辛壬癸子丑寅卯辰巳午未。\r",
                {u"一二三四五六七八九十甲乙", u"，丙丁戊己庚辛壬癸子丑寅卯辰巳午未", u"。"}},
        CutCase{"comma after the 10th character joins the piece",
                u"一二三四五六七八九十，甲乙丙丁戊己庚辛壬癸子。\r", {u"一二三四五六七八九十，甲乙丙丁戊己庚辛壬癸子", u"。"}},
        CutCase{"11 glyphs then a stop", u"一二三四五六七八九十甲。乙。\r", {u"一二三四五六七八九十甲", u"。乙。"}},
        // Spaces, apostrophes and ideographic spaces never end a piece.
        CutCase{"blanks go on", u"一二三四五六七八九十甲 乙　丙'丁。\r", {u"一二三四五六七八九十甲 乙　丙'丁", u"。"}},
        // English: limit 60 once a letter is among the first five glyphs.
        CutCase{"english runs past 60",
                u"It was the best of times, it was the worst of times, it was the age of wisdom, it was the age.\r",
                {u"It was the best of times, it was the worst of times, it was the age of wisdom",
                 u", it was the age."}},
        CutCase{"digits are not letters", u"12345678901，23。\r", {u"12345678901", u"，23。"}},
        CutCase{"a letter as sixth glyph does not count", u"一二三四五a六七八九十，甲。\r",
                {u"一二三四五a六七八九十", u"，甲。"}},
        CutCase{"a letter among the first five keeps the long limit", u"ab，一二三四五六七八九，十。\r",
                {u"ab，一二三四五六七八九，十。"}},
        CutCase{"a closing quote after eleven glyphs starts the next piece", u"“一二三四五六七八九十”他说。\r",
                {u"“一二三四五六七八九十", u"”他说。"}},
        // Line ends are skipped, not spoken.
        CutCase{"line ends inside a paragraph", u"一二三\r四五六\r", {u"一二三四五六"}},
        CutCase{"line end before the piece", u"\r\r一二三\r", {u"一二三"}},
        // Surrogate pairs: one glyph, and an ending character like punctuation.
        CutCase{"pair counted as one glyph", u"一二三四五六七八九𨀁，甲乙。\r", {u"一二三四五六七八九𨀁，甲乙", u"。"}},
        CutCase{"pair after 11 glyphs starts the next piece", u"一二三四五六七八九十甲𨀁乙。\r",
                {u"一二三四五六七八九十甲", u"𨀁乙。"}},
        CutCase{"nothing to say", u"\r", {}}, CutCase{"empty paragraph", u"", {}}));

TEST(SpeechPiece, RangeCoversTheGlyphsOfThePiece)
{
    const std::u16string paragraph = u"\r一二三四五六七八九十甲𨀁乙\r丙。\r";
    const SpeechPiece first = cutSpeechPiece(paragraph, 0);
    EXPECT_EQ(first.begin, 1);  // the leading line end is not part of it
    EXPECT_EQ(first.end, 12);
    EXPECT_EQ(first.glyphs, 11);
    const SpeechPiece second = cutSpeechPiece(paragraph, first.end);
    EXPECT_EQ(second.begin, 12);
    EXPECT_EQ(second.end, 18);  // past the pair (2 units), 乙, "\r", 丙 and 。
    EXPECT_EQ(second.text, u"𨀁乙丙。");
    EXPECT_EQ(second.glyphs, 4);
    const SpeechPiece last = cutSpeechPiece(paragraph, second.end);
    EXPECT_TRUE(last.empty());
    EXPECT_EQ(last.begin, static_cast<TextPos>(paragraph.size()));
}

TEST(SpeechPiece, StartsAtTheGivenOffset)
{
    const std::u16string paragraph = u"第一行的文字\r第二行的文字，继续。\r";
    const SpeechPiece piece = cutSpeechPiece(paragraph, 7);
    EXPECT_EQ(piece.begin, 7);
    EXPECT_EQ(piece.text, u"第二行的文字，继续。");
    EXPECT_TRUE(cutSpeechPiece(paragraph, 1000).empty());
    EXPECT_EQ(cutSpeechPiece(paragraph, -5).begin, 0);
}

bool letterAmongFirstFive(std::u16string_view text)
{
    int glyphs = 0;
    for (std::size_t i = 0; i < text.size() && glyphs < 5; ++i) {
        if (utf16::isLowSurrogate(text[i]))
            continue;
        ++glyphs;
        if ((text[i] >= u'a' && text[i] <= u'z') || (text[i] >= u'A' && text[i] <= u'Z'))
            return true;
    }
    return false;
}

// Checks the pieces of one paragraph against the cutting rule's promises.
void checkPieces(std::u16string_view paragraph, std::size_t& surrogatePieces, std::size_t& englishPieces)
{
    const auto pieces = allPieces(paragraph);
    std::u16string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const SpeechPiece& piece = pieces[i];
        joined += piece.text;
        ASSERT_FALSE(utf16::isLowSurrogate(paragraph[static_cast<std::size_t>(piece.begin)]))
            << "a piece starts inside a surrogate pair";
        if (std::any_of(piece.text.begin(), piece.text.end(), utf16::isHighSurrogate))
            ++surrogatePieces;
        if (i + 1 == pieces.size())
            continue;  // the last piece ends with the paragraph
        const bool english = piece.glyphs >= 6 && letterAmongFirstFive(piece.text);
        EXPECT_GE(piece.glyphs, english ? 61 : 11) << utf16::toUtf8(piece.text);
        englishPieces += english ? 1 : 0;
    }
    std::u16string expected(paragraph);
    std::erase(expected, u'\r');
    EXPECT_EQ(joined, expected);
}

std::vector<std::u16string> corpusParagraphs(std::string_view file, std::size_t limit)
{
    const std::u16string text = utf16::fromUtf8(test::readBytes(test::corpusFile(file)));
    std::vector<std::u16string> paragraphs;
    for (TextPos pos = 0; pos < static_cast<TextPos>(text.size()) && paragraphs.size() < limit;) {
        const TextPos end = utf16::lineEndOf(pos, text);
        std::u16string line = text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(end - pos));
        std::erase(line, u'\n');
        if (!utf16::trim(line, u" \t\r\u3000").empty())
            paragraphs.push_back(line + u"\r");
        pos = end;
    }
    return paragraphs;
}

TEST(SpeechPieceCorpus, ChineseClausesHoldAtLeastElevenGlyphs)
{
    VEYLA_REQUIRE_CORPUS();
    // The simplified 西游记 has 81 characters beyond U+FFFF.
    const auto paragraphs = corpusParagraphs("zh/xiyouji_pg23962.simplified.txt", 1000000);
    ASSERT_GT(paragraphs.size(), 5000u);
    std::size_t surrogatePieces = 0;
    std::size_t englishPieces = 0;
    std::size_t pieces = 0;
    for (const auto& paragraph : paragraphs) {
        checkPieces(paragraph, surrogatePieces, englishPieces);
        pieces += allPieces(paragraph).size();
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(pieces, paragraphs.size() * 2);
    EXPECT_GT(surrogatePieces, 0u) << "the corpus paragraphs should exercise surrogate pairs";
}

TEST(SpeechPieceCorpus, EnglishRunsHoldAtLeastSixtyOneGlyphs)
{
    VEYLA_REQUIRE_CORPUS();
    std::size_t surrogatePieces = 0;
    std::size_t englishPieces = 0;
    for (const auto& paragraph : corpusParagraphs("en/pride_and_prejudice_pg1342.txt", 3000)) {
        checkPieces(paragraph, surrogatePieces, englishPieces);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(englishPieces, 100u);
}

}  // namespace
}  // namespace veyla::speech
