// SPDX-License-Identifier: MIT
#include "core/speech/speech_piece.h"

#include <algorithm>

namespace veyla::speech {

namespace {

constexpr int kClauseLimit = 10;
constexpr int kEnglishLimit = 60;
constexpr int kEnglishMinimumGlyphs = 6;
constexpr int kEnglishLookahead = 5;

bool isAsciiLetter(char32_t ch)
{
    return (ch >= U'a' && ch <= U'z') || (ch >= U'A' && ch <= U'Z');
}

bool continuesRun(char32_t ch)
{
    return ch == U' ' || ch == U'\'' || ch == U'\u3000';
}

// The character at pos and the number of units it takes (2 for a surrogate pair).
std::pair<char32_t, TextPos> characterAt(std::u16string_view text, TextPos pos)
{
    const char16_t unit = text[static_cast<std::size_t>(pos)];
    const auto next = static_cast<std::size_t>(pos) + 1;
    if (utf16::isHighSurrogate(unit) && next < text.size() && utf16::isLowSurrogate(text[next])) {
        const char32_t ch = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[next] - 0xDC00);
        return {ch, 2};
    }
    return {unit, 1};
}

}  // namespace

bool isWordCharacter(char32_t ch)
{
    return (ch >= 0x4E00 && ch <= 0x9FA5) || (ch >= U'0' && ch <= U'9') || isAsciiLetter(ch);
}

SpeechPiece cutSpeechPiece(std::u16string_view paragraph, TextPos start)
{
    const auto length = static_cast<TextPos>(paragraph.size());
    SpeechPiece piece;
    piece.begin = std::clamp<TextPos>(start, 0, length);
    bool letterInFirstFive = false;
    TextPos pos = piece.begin;
    while (pos < length) {
        const auto [ch, units] = characterAt(paragraph, pos);
        if (ch != U'\r' && !isWordCharacter(ch) && !continuesRun(ch)) {
            const bool english = piece.glyphs >= kEnglishMinimumGlyphs && letterInFirstFive;
            if (piece.glyphs > (english ? kEnglishLimit : kClauseLimit))
                break;
        }
        if (ch == U'\r') {
            // Line ends are not spoken; a piece neither starts nor ends on one.
            if (piece.glyphs == 0)
                piece.begin = pos + 1;
        } else {
            if (piece.glyphs < kEnglishLookahead && isAsciiLetter(ch))
                letterInFirstFive = true;
            piece.text.append(paragraph.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(units)));
            ++piece.glyphs;
            piece.end = pos + units;
        }
        pos += units;
    }
    if (piece.glyphs == 0)
        piece.end = piece.begin = pos;
    return piece;
}

}  // namespace veyla::speech
