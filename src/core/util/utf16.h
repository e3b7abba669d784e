// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veyla {

// Positions and lengths in text count UTF-16 code units.
using TextPos = std::ptrdiff_t;
inline constexpr TextPos kNotFound = -1;

namespace utf16 {

// First occurrence of key at or after from, or kNotFound. An empty key is
// found at from itself; a start beyond the end finds nothing. A negative
// start searches from 0.
TextPos find(std::u16string_view text, std::u16string_view key, TextPos from = 0);
TextPos find(std::u16string_view text, char16_t ch, TextPos from = 0);

// Last occurrence of ch at or before from (the end when from is npos-like), or kNotFound.
TextPos findLast(std::u16string_view text, char16_t ch, TextPos from);

// The position just after the last '\n' at or before pos; 0 when there is none.
TextPos lineStartOf(TextPos pos, std::u16string_view text);

// The position just after the first '\n' at or after pos; the text length
// when there is none, and also for a negative pos.
TextPos lineEndOf(TextPos pos, std::u16string_view text);

bool contains(std::u16string_view text, std::u16string_view key);
bool contains(std::u16string_view text, char16_t ch);

// UTF-8 <-> UTF-16. Malformed input (bad sequences, lone surrogates)
// becomes U+FFFD; nothing is dropped silently.
std::u16string fromUtf8(std::string_view utf8);
// True when every byte belongs to a well-formed UTF-8 sequence (1 to 4 bytes).
bool isValidUtf8(std::string_view bytes);
std::string toUtf8(std::u16string_view text);

// UTF-16LE bytes <-> text. An odd trailing byte is ignored.
std::u16string decodeLittleEndian(std::string_view bytes);
std::string encodeLittleEndian(std::u16string_view text);

// Replaces every occurrence of from by to.
std::u16string replaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to);

// Removes leading and trailing characters contained in set.
std::u16string_view trim(std::u16string_view text, std::u16string_view set);
std::u16string_view trimLeft(std::u16string_view text, std::u16string_view set);
std::u16string_view trimRight(std::u16string_view text, std::u16string_view set);

// Decimal text of n, as "%d" would print it.
std::u16string number(long long n);

// Parses a leading decimal integer the way atoi does (optional blanks and
// sign, digits up to the first non-digit); 0 when there is none.
long long toInteger(std::u16string_view text);

// The value of an ASCII hexadecimal digit (0-9, a-f, A-F); -1 for any other character.
int hexDigitValue(char32_t c);

bool isHighSurrogate(char16_t c);
bool isLowSurrogate(char16_t c);

}  // namespace utf16
}  // namespace veyla
