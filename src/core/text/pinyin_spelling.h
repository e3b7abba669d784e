// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"

namespace veyla::text {

class PinyinTable;

// Whole-string pinyin spellings of a text, for slugs and names.
struct PinyinSpellings {
    std::vector<std::u16string> spellings;  // "changjiang", "zhangjiang"
    std::vector<std::u16string> initials;   // "CJ", "ZJ"
};

// At most this many spellings (and as many initials) are made, so a long
// name of characters with several readings each cannot explode.
inline constexpr std::size_t kMaxPinyinSpellings = 16;

// Spells text in pinyin. Each character is looked up in the table; its
// readings, concatenated without separators, give the spellings: the
// first spelling takes every character's first reading, and the following
// ones vary the readings of the last characters fastest (like counting,
// the last character being the lowest digit), stopping at limit. The
// initials are made the same way from the capital initials. A character
// outside U+4E00-U+9FA5 (Latin letters, digits, blanks, punctuation, a
// surrogate pair as one character) stands for itself in both; a character
// of the block the table has no reading for adds nothing. Equal results
// are kept once. An empty text gives no spellings. Fails when the table
// cannot be opened or is malformed at one of the text's characters.
Result<PinyinSpellings> spellInPinyin(PinyinTable& table, std::u16string_view text,
                                      std::size_t limit = kMaxPinyinSpellings);

}  // namespace veyla::text
