// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/view/colour_schemes.h"
#include "core/view/layout_document.h"

namespace veyla::view {

inline constexpr int kAnnotationStyles = 20;

// The range of the paragraph rule (nPramBZ).
enum class AnnotationRange { ThisParagraph = 0, Uniform = 1, Consecutive = 2 };
// What "配色" and "无" annotate (bSingle on: character runs).
enum class AnnotationTarget { CharacterRuns, Paragraphs };

// A style number 1…20, anything else 0 (none).
int effectiveAnnotation(int number);

// The picture file of style n in control/IMG/Biaozhu/: "1.png" … "20.png",
// "0.png" for any other number.
std::u16string annotationStylePicture(int number);

// Every selected glyph (line ends aside) takes the number and loses its
// note mark; the selection is cleared. False when nothing was selected.
bool annotateSelection(LayoutDocument& document, int number);

// The paragraph rule from the caret's paragraph. Returns the current
// number afterwards (the consecutive range advances it).
int annotateParagraphs(LayoutDocument& document, std::size_t caretParagraph, AnnotationRange range, int number);

// "配色" / "无": the character-run rule or the paragraph rule; marks the
// document modified. Returns the current number afterwards.
int applyAnnotation(LayoutDocument& document, std::size_t caretParagraph, AnnotationTarget target,
                    AnnotationRange range, int number);

// The paragraph index each decoration toggle sets. Horizontal bars use the
// decoration index (written as the "[T%d]" mark) with the row-line
// pictures; row lines the horizontal-line index with the row-line
// pictures; the vertical decoration the paragraph-picture index with the
// paragraph pictures (Pram); the vertical-bar index is kept as read.
enum class DecorationSlot { Decoration, HorizontalLine, ParagraphPicture, VerticalBar };
enum class Toggle { Off, On };

// Assigns decoration indexes after a toggle, with listLength pictures in
// the slot's list (nothing happens with fewer than two):
// - this paragraph: on gives a random index in 1…L−1, off 0;
// - uniform: one index (given, or random in 1…L−1) to every paragraph
//   taller than the text size and of the caret paragraph's kind (code or text);
// - consecutive: from the caret's paragraph, those paragraphs get
//   (f mod (L−1)) + 1 for f counting up from a random start in 1…L−1.
// Off gives 0 to the paragraphs the range covers. Returns the uniform
// index (kept in nPramMode for the horizontal bars).
std::optional<int> applyDecorationToggle(LayoutDocument& document, std::size_t caretParagraph, DecorationSlot slot,
                                         Toggle toggle, AnnotationRange range, std::size_t listLength, int textSize,
                                         RandomEngine& engine, std::optional<int> given = std::nullopt);

// The index a paragraph holds in a slot.
int decorationIndex(const ParagraphBox& paragraph, DecorationSlot slot);

// A run of consecutive glyphs of one line sharing a non-zero annotation
// number, drawn as one rounded box around its bounding rectangle.
struct MarkedRun {
    int number = 0;
    TextPosition first;
    TextPosition last;
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// The marked runs of lines [firstLine, endLine) of a paragraph.
std::vector<MarkedRun> markedRuns(const LayoutDocument& document, std::size_t paragraph, std::size_t firstLine,
                                  std::size_t endLine);

}  // namespace veyla::view
