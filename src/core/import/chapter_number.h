// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

namespace veyla::import {

// Numbers above this are not taken for chapter or volume numbers: a numeral
// that long is a year, a phone number or garbage, and reading it must not overflow.
inline constexpr long long kLargestTitleNumber = 999'999'999;

// A numeral read from the start of a text.
struct Numeral {
    long long value = 0;
    std::size_t length = 0;  // units read; 0 when the text does not start with a numeral
    bool overflow = false;   // well formed but larger than kLargestTitleNumber (value is then 0)

    bool found() const { return length > 0 && !overflow; }
};

// Chinese numerals: 一 … 九 with 两/兩, 零/〇/○ as zero, the financial forms
// (壹 贰 … 玖 拾 佰 仟), 十 百 千 萬/万 億/亿, 廿 (20) and 卅 (30). Both the
// written-out form (二十一, 一百零五, 一千二百) and the positional form
// (一○○, 一二○, 九九) are read. A run of these characters that is neither
// (十十, 二百三千) is no numeral.
Numeral readChineseNumeral(std::u16string_view text);

// Decimal digits, half-width (0-9) or full-width (０-９), leading zeros allowed.
Numeral readArabicNumeral(std::u16string_view text);

// Roman numerals in the usual form (I … MMMCMXCIX), all upper or all lower
// case; a run that is not written the usual way (IIII, IC) is no numeral.
Numeral readRomanNumeral(std::u16string_view text);

// English number words from one to ninety-nine, in any case, tens and units
// joined by a hyphen or a space ("Twenty-One").
Numeral readNumberWords(std::u16string_view text);

inline constexpr long long kNoNumber = -1;

// The numbers a chapter title carries.
struct TitleNumbers {
    // 第二卷, 第三部, 第一集, 第四篇, 卷二, 卷之三, Book II, Part Two, Volume 3.
    long long volume = kNoNumber;
    // 第三章, 第一○回, 第2节, Chapter 3, CHAPTER III, Letter 4, or a title that
    // starts with a numeral standing alone ("12", "十二、…", "XII.").
    long long chapter = kNoNumber;
    // A numeral in the title was too large to be read.
    bool overflow = false;

    bool hasVolume() const { return volume != kNoNumber; }
    bool hasChapter() const { return chapter != kNoNumber; }
};

// Reads the volume and chapter number of a heading title. 第 numerals are
// found anywhere in the title (a heading may hold the book's name before
// them); English words count at the start and after a volume number.
TitleNumbers readTitleNumbers(std::u16string_view title);

}  // namespace veyla::import
