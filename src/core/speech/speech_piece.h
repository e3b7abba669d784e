// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "core/util/utf16.h"

namespace veyla::speech {

// One piece of a paragraph spoken in one go: the range [begin, end) of the
// paragraph text it covers, counted in UTF-16 units (from its first spoken
// character to just after its last), and the text to speak, which is that
// range without its "\r" characters.
struct SpeechPiece {
    TextPos begin = 0;
    TextPos end = 0;
    std::u16string text;
    int glyphs = 0;  // characters in text; a surrogate pair counts once

    bool empty() const { return glyphs == 0; }
};

// Cuts the piece that starts at start in paragraph, the paragraph's text
// with its lines ending in "\r".
//
// Ideographs U+4E00..U+9FA5, ASCII digits and ASCII letters always join the
// piece; a space, an apostrophe or an ideographic space joins it too. Any
// other character (punctuation, and characters beyond those ranges) ends a
// word run: when the piece already holds more glyphs than its limit, the
// piece ends before that character, else the character joins it. The limit
// is 60 once the piece holds 6 glyphs and one of its first five is an ASCII
// letter (English is spoken in runs of at least 61), else 10 (Chinese is
// spoken in clauses of at least 11). "\r" is skipped. An empty piece means
// the paragraph has been spoken to its end.
SpeechPiece cutSpeechPiece(std::u16string_view paragraph, TextPos start);

// Whether a character always joins a piece: an ideograph of U+4E00..U+9FA5,
// an ASCII digit or an ASCII letter.
bool isWordCharacter(char32_t ch);

}  // namespace veyla::speech
