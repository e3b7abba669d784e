// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace veyla::import {

// The title as it goes into a file name: only Unicode letters and digits
// (CJK ideographs are letters), '-', '_' and '.' are kept; spaces and all
// other punctuation are dropped. A surrogate pair counts as one character.
std::u16string fileNameForm(std::u16string_view title);

// n as Roman numerals from its hundreds, tens and units digits; thousands
// are dropped, so 1000 gives an empty text.
std::u16string toRomanNumeral(int n);

// n in decimal, padded with zeros to at least width digits ("%04d").
std::u16string zeroPadded(long long n, int width);

}  // namespace veyla::import
