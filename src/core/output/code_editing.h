// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/chapter.h"

namespace veyla::output {

// The lines of pasted code as they become code paragraphs: carriage
// returns, line feeds and ideographic spaces trimmed from both ends, each
// tab four blanks, the listing header "[cpp] view plaincopy" replaced by a
// line feed, an ideographic space and a line feed, every "¬" removed, then
// split at line feeds (carriage returns dropped). Empty text gives no lines.
std::vector<std::u16string> pastedCodeLines(std::u16string_view text);

// Inserts one code paragraph per line before paragraph index at (clamped
// to the end) and marks the chapter modified. Returns the number inserted.
std::size_t insertCodeParagraphs(library::Chapter& chapter, std::size_t at, const std::vector<std::u16string>& lines);

// Indents code lines anew by the nesting of braces, four blanks a level:
// leading blanks and tabs are removed; a line starting with "}" is one
// level out; the line after a brace-less if, for, while, else or do is
// one level in. Braces in strings, character literals and comments do not
// count. State carries from line to line; start with a default state.
struct IndentState {
    int depth = 0;
    int pendingStatements = 0;  // brace-less control statements waiting for their statement
    bool inBlockComment = false;
};
std::vector<std::u16string> reindentCodeLines(const std::vector<std::u16string>& lines, IndentState& state);

// Re-indents every code paragraph of the chapter; a run of consecutive code
// paragraphs counts as one piece of code, a text paragraph ends it. Only
// paragraphs whose text changes are touched (and the chapter marked
// modified). Returns the number of paragraphs changed.
std::size_t reindentCodeParagraphs(library::Chapter& chapter);

}  // namespace veyla::output
