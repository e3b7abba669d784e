// SPDX-License-Identifier: MIT
#include "core/view/spoken_text.h"

#include <algorithm>

#include "core/view/layout_engine.h"

namespace veyla::view {

namespace {

std::size_t unitsOf(const GlyphNode& glyph)
{
    return glyph.low != 0 ? 2 : 1;
}

// Calls visit(glyph, unit offset) for every logical glyph, mutable.
template <typename Visit>
void forEachLogicalGlyphUnits(ParagraphBox& paragraph, Visit visit)
{
    auto& lines = paragraph.lines;
    std::size_t units = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto& glyphs = lines[i].glyphs;
        const bool hardBreak = i + 1 < lines.size() && !lines[i + 1].continuation;
        const std::size_t end = hardBreak ? glyphs.size() : glyphs.size() - 1;
        for (std::size_t g = 0; g < end; ++g) {
            visit(glyphs[g], units);
            units += unitsOf(glyphs[g]);
        }
    }
}

}  // namespace

std::u16string spokenText(const ParagraphBox& paragraph)
{
    std::u16string text;
    forEachLogicalGlyph(paragraph, [&](const GlyphNode& glyph) {
        text += glyph.ch;
        if (glyph.low != 0)
            text += glyph.low;
    });
    if (!paragraph.lines.empty())
        text += u'\r';
    return text;
}

std::size_t unitOffset(const ParagraphBox& paragraph, std::size_t logicalOffset)
{
    std::size_t index = 0;
    std::size_t units = 0;
    forEachLogicalGlyph(paragraph, [&](const GlyphNode& glyph) {
        if (index++ < logicalOffset)
            units += unitsOf(glyph);
    });
    return units;
}

std::size_t glyphOffsetOfUnits(const ParagraphBox& paragraph, std::size_t units)
{
    std::size_t index = 0;
    std::size_t at = 0;
    std::size_t found = logicalLength(paragraph);
    bool done = false;
    forEachLogicalGlyph(paragraph, [&](const GlyphNode& glyph) {
        if (!done && units < at + unitsOf(glyph)) {
            found = index;
            done = true;
        }
        at += unitsOf(glyph);
        ++index;
    });
    return found;
}

void markSpoken(ParagraphBox& paragraph, std::size_t begin, std::size_t end, bool spoken)
{
    forEachLogicalGlyphUnits(paragraph, [&](GlyphNode& glyph, std::size_t at) {
        if (at >= begin && at < end)
            glyph.spoken = spoken;
    });
}

void clearSpoken(ParagraphBox& paragraph)
{
    for (auto& line : paragraph.lines)
        for (auto& glyph : line.glyphs)
            glyph.spoken = false;
}

std::pair<std::size_t, std::size_t> mapSpokenRange(std::u16string_view before, std::u16string_view now,
                                                   std::size_t begin, std::size_t end)
{
    if (before == now)
        return {begin, end};
    const std::size_t shorter = std::min(before.size(), now.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == now[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const std::size_t changedEnd = before.size() - suffix;  // end of the edited part in the earlier text
    const auto map = [&](std::size_t at, bool isEnd) -> std::size_t {
        if (at <= prefix)
            return at;
        if (at >= changedEnd)
            return at - changedEnd + (now.size() - suffix);
        return isEnd ? now.size() - suffix : prefix;
    };
    const std::size_t mappedBegin = map(begin, false);
    return {mappedBegin, std::max(mappedBegin, map(end, true))};
}

}  // namespace veyla::view
