// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/view/layout_document.h"

namespace veyla::view {

enum class StripVisibility { Hidden, Shown };

// The part of the page in which text lines are drawn, in page coordinates.
struct VisibleBand {
    int top = 0;
    int bottom = 0;
};

// The visible area [scroll top, scroll top + client height), with its top
// moved down by the top margin when the top strip is shown and its bottom
// moved up by the top margin when the bottom strip is shown.
VisibleBand visibleBand(int scrollTop, int clientHeight, int topMargin, StripVisibility topStrip,
                        StripVisibility bottomStrip);

// A line is drawn only when its text (top to top + font size) lies wholly inside the band.
bool lineInBand(const TextLine& line, const VisibleBand& band);
// A line whose text reaches below the band ends the painting.
bool lineBelowBand(const TextLine& line, const VisibleBand& band);

// The first paragraph to paint, remembered between paints and moved forward
// or backward from the previous one: the last paragraph whose top is at or
// above the visible top − 28.
class FirstVisibleParagraph {
public:
    std::size_t find(const LayoutDocument& document, int visibleTop);
    // After the document was replaced.
    void reset() { m_index = 0; }

private:
    std::size_t m_index = 0;
};

// A paragraph the painter visits, and the lines of it to draw: [firstLine, endLine).
struct VisibleParagraph {
    std::size_t paragraph = 0;
    std::size_t firstLine = 0;
    std::size_t endLine = 0;
};

// The paragraphs to paint, from the first visible one until the first line below the band.
std::vector<VisibleParagraph> visibleParagraphs(const LayoutDocument& document, const VisibleBand& band,
                                                FirstVisibleParagraph& first, int visibleTop);

// The read-aloud rule that keeps text in view: when the page is taller than
// the client height + 100 and y lies below scroll top + client height − 100,
// the new scroll position is y (the caller clamps it); otherwise none.
std::optional<int> keepInView(int y, int scrollTop, int clientHeight, int pageHeight);

}  // namespace veyla::view
