// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace veyla::epub {

// The plain text of an XHTML or HTML file, in one linear pass over its bytes:
// - a "<title" with "title>" later on the same line is removed up to and
//   including that "title>";
// - every other '<' followed by something other than '>' is removed up to
//   the next '>' (across lines); a '<' with no '>' after it stays as text;
// - the content of "script" and "style" elements is removed with them;
// - the end of a block ("</p>", "</div>", "</h1>"…"</h6>", "</li>", "</tr>",
//   "</blockquote>", "<br>", "<hr>") starts a new line unless a line break
//   follows anyway, so a file without newlines keeps its paragraphs;
// - character references (the five XML ones, numeric ones and common HTML
//   names such as "&nbsp;", "&mdash;", "&hellip;", "&ldquo;") are decoded;
//   an unknown one stays as written.
// A leading UTF-8 byte-order mark is dropped. The result is UTF-8.
std::string stripMarkup(std::string_view bytes);

// stripMarkup, then UTF-8 to UTF-16 (malformed bytes become U+FFFD).
std::u16string extractXhtmlText(std::string_view bytes);

}  // namespace veyla::epub
