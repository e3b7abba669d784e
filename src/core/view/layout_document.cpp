// SPDX-License-Identifier: MIT
#include "core/view/layout_document.h"

namespace veyla::view {

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
    TextLine line;
    line.glyphs.push_back(lineEndGlyph());
    paragraph.lines.push_back(std::move(line));
    document.paragraphs.push_back(std::move(paragraph));
    return document;
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
