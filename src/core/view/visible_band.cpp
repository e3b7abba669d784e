// SPDX-License-Identifier: MIT
#include "core/view/visible_band.h"

namespace veyla::view {

namespace {

constexpr int kVisibleTopSlack = 28;

double textBottom(const TextLine& line)
{
    return line.glyphs.empty() ? line.top : line.glyphBottom(line.glyphs.back());
}

}  // namespace

VisibleBand visibleBand(int scrollTop, int clientHeight, int topMargin, StripVisibility topStrip,
                        StripVisibility bottomStrip)
{
    VisibleBand band{scrollTop, scrollTop + clientHeight};
    if (topStrip == StripVisibility::Shown)
        band.top += topMargin;
    if (bottomStrip == StripVisibility::Shown)
        band.bottom -= topMargin;
    return band;
}

bool lineInBand(const TextLine& line, const VisibleBand& band)
{
    return line.top >= band.top && textBottom(line) <= band.bottom;
}

bool lineBelowBand(const TextLine& line, const VisibleBand& band)
{
    return textBottom(line) > band.bottom;
}

std::size_t FirstVisibleParagraph::find(const LayoutDocument& document, int visibleTop)
{
    const auto& paragraphs = document.paragraphs;
    if (paragraphs.empty())
        return m_index = 0;
    const int limit = visibleTop - kVisibleTopSlack;
    std::size_t index = std::min(m_index, paragraphs.size() - 1);
    while (index > 0 && paragraphs[index].top > limit)
        --index;
    while (index + 1 < paragraphs.size() && paragraphs[index + 1].top <= limit)
        ++index;
    return m_index = index;
}

std::vector<VisibleParagraph> visibleParagraphs(const LayoutDocument& document, const VisibleBand& band,
                                                FirstVisibleParagraph& first, int visibleTop)
{
    std::vector<VisibleParagraph> visible;
    const auto& paragraphs = document.paragraphs;
    for (std::size_t p = first.find(document, visibleTop); p < paragraphs.size(); ++p) {
        if (paragraphs[p].top >= band.bottom)
            break;
        const auto& lines = paragraphs[p].lines;
        VisibleParagraph entry{p, lines.size(), lines.size()};
        bool stop = false;
        for (std::size_t l = 0; l < lines.size(); ++l) {
            if (lineBelowBand(lines[l], band)) {
                stop = true;
                break;
            }
            if (lineInBand(lines[l], band)) {
                if (entry.firstLine == lines.size())
                    entry.firstLine = l;
                entry.endLine = l + 1;
            }
        }
        if (entry.firstLine == lines.size())
            entry.firstLine = entry.endLine = 0;
        visible.push_back(entry);
        if (stop)
            break;
    }
    return visible;
}

std::optional<int> keepInView(int y, int scrollTop, int clientHeight, int pageHeight)
{
    if (pageHeight > clientHeight + 100 && y > scrollTop + clientHeight - 100)
        return y;
    return std::nullopt;
}

}  // namespace veyla::view
