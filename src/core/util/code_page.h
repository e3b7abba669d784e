// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace veyla {

// The "ANSI code page" of the simplified-Chinese systems the library files
// come from. GB18030 is a superset of GBK (code page 936).
inline constexpr std::string_view kAnsiCodePage = "GB18030";

// Decodes bytes in a multi-byte code page through iconv. Bytes that are not
// valid in the code page become U+FFFD, one per byte; a truncated sequence
// at the end becomes one U+FFFD.
std::u16string decodeCodePage(std::string_view bytes, std::string_view codePage = kAnsiCodePage);

// Encodes text into a code page; characters the code page lacks become '?'.
std::string encodeCodePage(std::u16string_view text, std::string_view codePage = kAnsiCodePage);

}  // namespace veyla
