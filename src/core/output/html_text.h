// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/library/chapter.h"
#include "core/view/colour_schemes.h"

namespace veyla::output {

// Book text as inert HTML: "&", "<" and ">" become entities, so that text
// never turns into markup. Quotes are left alone (text is never put into
// attribute values unescaped by the page writers: see escapeAttribute).
std::u16string escapeHtml(std::u16string_view text);
void appendEscapedHtml(std::u16string& out, std::u16string_view text);

// escapeHtml plus '"' and "'", for text inside a quoted attribute value.
std::u16string escapeAttribute(std::u16string_view text);

// "%02x%02x%02x" of the red, green and blue bytes of a colour.
std::u16string colourHex(view::Colour colour);

// The lines of a paragraph as the reading view shows them: inline marks
// and backspaces taken out, one line end at the end dropped (it is the
// paragraph's own end), then split at "\r\n", "\r" and "\n". A paragraph
// always has at least one line.
std::vector<std::u16string> paragraphLines(const library::Paragraph& paragraph);

// The paragraph's text with inline marks and backspaces taken out (line
// breaks kept).
std::u16string plainParagraphText(const library::Paragraph& paragraph);

}  // namespace veyla::output
