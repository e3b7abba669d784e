// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veyla::view {

// A paragraph's text with its inline marks taken out: the plain text, the
// annotation number of every UTF-16 unit, and the paragraph's decoration index.
struct MarkedText {
    std::u16string text;
    std::vector<std::uint16_t> numbers;  // one per unit of text; 0 = not annotated
    int decoration = 0;                  // 0 = none

    friend bool operator==(const MarkedText&, const MarkedText&) = default;
};

// Reads "[F%d]…[/F]" (an annotated run) and "[T%d]…[/T]" (the paragraph's
// decoration index, around the whole text). A tag without a decimal number
// in 1…65535, without its closing "]" or without a matching closing tag
// stays in the text as written. The content of an [F] run is taken
// literally; a [T] may hold [F] runs. Reading what writeInlineMarks wrote
// gives back the same marked text.
MarkedText parseInlineMarks(std::u16string_view tagged);

// Writes every run of consecutive units sharing a non-zero number as
// "[F%d]%s[/F]", and the whole text as "[T%d]%s[/T]" when decoration is non-zero.
std::u16string writeInlineMarks(const MarkedText& marked);

}  // namespace veyla::view
