// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>

#include "core/view/colour_schemes.h"
#include "core/view/layout_engine.h"

namespace veyla::view {

// A rectangle in page pixels: [left, right) × [top, bottom).
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The right edge of paragraph bands and frames: max(left margin + page width + 20, the page frame's right).
int bandRight(const LayoutDocument& document, const LayoutParams& params);

// The framed box of a code paragraph and the band of an annotated text
// paragraph: from its left − 2 to bandRight, as high as the paragraph.
PixelRect paragraphBand(const ParagraphBox& paragraph, const LayoutDocument& document, const LayoutParams& params);

// Where decoration picture e of a paragraph is drawn: from the page frame's
// left to bandRight, from top − paragraph spacing / 2 − 2 to bottom − row
// spacing; none for a paragraph of 30 pixels or less or without an index.
std::optional<PixelRect> decorationRect(const ParagraphBox& paragraph, const LayoutDocument& document,
                                        const LayoutParams& params);

// The 2-pixel bar under the line the mouse is over: from left + 20 to right − 20.
PixelRect hoverBar(const TextLine& line);

// The row-line strips: across the page width, TopMargin high, at the top
// of the view and at client height − TopMargin (view coordinates).
PixelRect topStrip(int pageWidth, int topMargin);
PixelRect bottomStrip(int pageWidth, int clientHeight, int topMargin);

// The strip picture to use: index when it names one of count pictures,
// else a random one, which is remembered in index. None without pictures.
std::optional<std::size_t> stripPicture(int& index, std::size_t count, RandomEngine& engine);

// A vertical bar picture of imageWidth × imageHeight scaled to the view
// height keeping its aspect ratio, no wider than maxWidth, placed in the
// left margin at percent per cent of the room the margin leaves beside it
// (the right bar mirrors it in the right margin), in view coordinates.
struct VerticalBars {
    PixelRect left;
    PixelRect right;
};
VerticalBars verticalBars(int imageWidth, int imageHeight, int viewHeight, int clientWidth, int leftMargin,
                          int pageWidth, int maxWidth, int percent);

}  // namespace veyla::view
