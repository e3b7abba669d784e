// SPDX-License-Identifier: MIT
#pragma once

namespace veyla::import {

// True for code points that are letters (CJK ideographs included), decimal
// digits or letter numbers in Unicode; false for punctuation, symbols,
// spaces, marks and private-use characters.
bool isLetterOrDigit(char32_t cp);

}  // namespace veyla::import
