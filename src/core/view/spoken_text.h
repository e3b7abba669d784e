// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "core/view/layout_document.h"

namespace veyla::view {

// The text read aloud from a paragraph: its logical glyphs, a code line
// break as "\r", and "\r" for the paragraph's end (none for a picture box).
// Soft line ends are not part of it, so offsets into it (UTF-16 units) do
// not move when the paragraph is broken into lines again.
std::u16string spokenText(const ParagraphBox& paragraph);

// The unit offset in spokenText of the glyph at a logical offset.
std::size_t unitOffset(const ParagraphBox& paragraph, std::size_t logicalOffset);
// The logical offset of the glyph holding the unit at offset units (the
// paragraph's end when past it).
std::size_t glyphOffsetOfUnits(const ParagraphBox& paragraph, std::size_t units);

// Marks the glyphs holding units [begin, end) of spokenText as spoken or not.
void markSpoken(ParagraphBox& paragraph, std::size_t begin, std::size_t end, bool spoken);
void clearSpoken(ParagraphBox& paragraph);

// Where units [begin, end) of a paragraph's earlier text lie in its text
// now: through the longest common start and end of the two texts, so a
// piece before or after an edit keeps its characters; a piece that
// overlapped the edit covers what replaced it.
std::pair<std::size_t, std::size_t> mapSpokenRange(std::u16string_view before, std::u16string_view now,
                                                   std::size_t begin, std::size_t end);

}  // namespace veyla::view
