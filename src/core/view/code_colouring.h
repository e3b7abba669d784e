// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>
#include <vector>

#include "core/view/colour_schemes.h"
#include "core/view/keyword_tables.h"
#include "core/view/layout_document.h"

namespace veyla::view {

// What a glyph of a code line is drawn as; each role has a colour of the colour set.
enum class CodeRole {
    Text,         // CText
    String,       // Yinhao
    Comment,      // Zhuwen
    Boolean,      // TRUE
    Control,      // Control
    Type,         // Int
    Function,     // Fun
    Variable,     // Var
    OwnFunction,  // DFun
    Parenthesis,  // Xiaokuohao
    Brace,        // Dakuohao
    Digit,        // Digit
};

struct CodeGlyphStyle {
    CodeRole role = CodeRole::Text;
    bool bold = false;  // weight 800: table words, parentheses and braces

    friend bool operator==(const CodeGlyphStyle&, const CodeGlyphStyle&) = default;
};

Colour colourOf(CodeRole role, const ColourSet& colours);

// A line is a declaration line when its first word is in the Int table and
// is followed by a space, "&" or "*".
bool isDeclarationLine(std::u16string_view line, const KeywordTables& tables);

// The style of each unit of one code line, left to right:
// - a whole line whose first character is above U+00FF is a comment;
// - a character with an odd number of double quotes between it and the
//   nearest "(" before it on the line (or the line start) is a string;
// - from a "/" outside a string to the end of the line is a comment;
// - an identifier (ASCII letters, digits, "_", not starting with a digit)
//   takes the role of the first table holding it, bold; else plain text;
// - parentheses and braces are bold; digits are digits; the rest plain text.
// The line ends at "\r" or "\b" (the rest is plain text). Before an
// identifier is looked up, the tables learn: on a declaration line an
// identifier followed by "(" joins DFun; an identifier after a space, "&",
// "*" or "," and followed by ",", ";", a space, ")", "=" or "[", after a
// type word or on a declaration line, joins Var. Words already in a table
// are not learned again.
std::vector<CodeGlyphStyle> colourCodeLine(std::u16string_view line, KeywordTables& tables);

// The same for a laid-out line: one style per glyph (a surrogate pair is one
// glyph, the line end plain text).
std::vector<CodeGlyphStyle> colourCodeLine(const TextLine& line, KeywordTables& tables);

}  // namespace veyla::view
