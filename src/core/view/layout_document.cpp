// SPDX-License-Identifier: MIT
#include "core/view/layout_document.h"

#include <algorithm>

namespace veyla::view {

static_assert(sizeof(GlyphNode) == 16, "a glyph takes 16 bytes: chapters hold millions");

std::u16string GlyphNode::text() const
{
    std::u16string out(1, ch);
    if (low != 0)
        out += low;
    return out;
}

GlyphNode lineEndGlyph()
{
    return GlyphNode{};
}

GlyphNode glyphFor(char16_t ch, char16_t low)
{
    GlyphNode glyph;
    glyph.ch = ch;
    glyph.low = low;
    return glyph;
}

LayoutDocument LayoutDocument::empty()
{
    LayoutDocument document;
    ParagraphBox paragraph;
    paragraph.id = document.newParagraphId();
    TextLine line;
    line.glyphs.push_back(lineEndGlyph());
    paragraph.lines.push_back(std::move(line));
    document.paragraphs.push_back(std::move(paragraph));
    return document;
}

std::optional<std::size_t> LayoutDocument::findParagraph(std::uint64_t id, std::size_t near) const
{
    // Edits move a paragraph by a few places at most: search outwards from near.
    const std::size_t count = paragraphs.size();
    near = std::min(near, count);
    for (std::size_t distance = 0; distance <= count; ++distance) {
        if (near + distance < count && paragraphs[near + distance].id == id)
            return near + distance;
        if (distance > 0 && distance <= near && paragraphs[near - distance].id == id)
            return near - distance;
        if (near + distance >= count && distance >= near)
            break;
    }
    return std::nullopt;
}

std::size_t LayoutDocument::glyphCount() const
{
    std::size_t count = 0;
    for (const auto& paragraph : paragraphs)
        for (const auto& line : paragraph.lines)
            count += line.glyphs.size();
    return count;
}

}  // namespace veyla::view
