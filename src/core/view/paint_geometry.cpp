// SPDX-License-Identifier: MIT
#include "core/view/paint_geometry.h"

#include <algorithm>

namespace veyla::view {

int bandRight(const LayoutDocument& document, const LayoutParams& params)
{
    return std::max(params.leftMargin + params.pageWidth + 20, document.right);
}

PixelRect paragraphBand(const ParagraphBox& paragraph, const LayoutDocument& document, const LayoutParams& params)
{
    return {paragraph.left - 2, paragraph.top, bandRight(document, params), paragraph.bottom};
}

std::optional<PixelRect> decorationRect(const ParagraphBox& paragraph, const LayoutDocument& document,
                                        const LayoutParams& params)
{
    if (paragraph.decoration == 0 || paragraph.height <= 30)
        return std::nullopt;
    return PixelRect{document.left, paragraph.top - params.paragraphSpacing / 2 - 2, bandRight(document, params),
                     paragraph.bottom - params.rowSpacing};
}

PixelRect hoverBar(const TextLine& line)
{
    const int y = line.glyphs.empty() ? line.top : line.glyphBottom(line.glyphs.back());
    return {line.left + 20, y, line.right - 20, y + 2};
}

PixelRect topStrip(int pageWidth, int topMargin)
{
    return {0, 0, pageWidth, topMargin};
}

PixelRect bottomStrip(int pageWidth, int clientHeight, int topMargin)
{
    return {0, clientHeight - topMargin, pageWidth, clientHeight};
}

std::optional<std::size_t> stripPicture(int& index, std::size_t count, RandomEngine& engine)
{
    if (count == 0)
        return std::nullopt;
    if (index < 0 || static_cast<std::size_t>(index) >= count)
        index = static_cast<int>(engine() % count);
    return static_cast<std::size_t>(index);
}

VerticalBars verticalBars(int imageWidth, int imageHeight, int viewHeight, int clientWidth, int leftMargin,
                          int pageWidth, int maxWidth, int percent)
{
    int width = imageHeight > 0 ? static_cast<int>(static_cast<long long>(imageWidth) * viewHeight / imageHeight) : 0;
    width = std::clamp(width, 0, std::max(0, maxWidth));
    const int room = std::max(0, leftMargin - width);
    const int x = room * std::clamp(percent, 0, 100) / 100;
    const int rightMarginStart = leftMargin + pageWidth;
    const int rightRoom = std::max(0, clientWidth - rightMarginStart - width);
    const int rightX = clientWidth - width - rightRoom * std::clamp(percent, 0, 100) / 100;
    return {{x, 0, x + width, viewHeight}, {rightX, 0, rightX + width, viewHeight}};
}

}  // namespace veyla::view
