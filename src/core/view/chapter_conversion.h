// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "core/library/chapter.h"
#include "core/view/inline_marks.h"
#include "core/view/layout_engine.h"

namespace veyla::view {

// Builds the layout model of a chapter and lays it out. The inline marks of
// each paragraph become glyph annotation numbers and the paragraph's
// decoration index. One line end at the end of a paragraph's text is the
// paragraph's own end; a further line break inside a code paragraph starts
// a new line of it, inside a text paragraph it starts a new paragraph with
// the same attributes. Backspace characters are dropped.
// Paragraph ids count up from firstId (so that ids of the chapters shown
// one after another differ).
LayoutDocument documentFromChapter(const library::Chapter& chapter, const LayoutEngine& engine,
                                   std::uint64_t firstId = 1);

// The chapter to save: one run per text paragraph holding its text with
// inline marks; line breaks inside a code paragraph are written as "\r\n";
// a paragraph that is empty or ends with an empty code line gets a final
// "\r", so that it survives reading.
// Picture boxes are not part of the chapter format and are left out.
library::Chapter chapterFromDocument(const LayoutDocument& document, const LayoutEngine& engine);

// A paragraph's text and annotation numbers (code line breaks as "\r\n").
MarkedText markedTextOf(const ParagraphBox& paragraph, const LayoutEngine& engine);
// The paragraph's text with its inline marks, as it is saved.
std::u16string taggedTextOf(const ParagraphBox& paragraph, const LayoutEngine& engine);

// Glyphs for plain text: a surrogate pair becomes one glyph, each line break
// ("\r\n", "\r" or "\n") one "\r" glyph; numbers (one per unit, may be
// shorter than the text) give the annotation numbers.
std::vector<GlyphNode> glyphsFromText(std::u16string_view text, const std::vector<std::uint16_t>& numbers = {});

}  // namespace veyla::view
