// SPDX-License-Identifier: MIT
#include "core/view/glyph_style.h"

#include <cmath>

namespace veyla::view {

namespace {

bool isDefaultName(const std::u16string& name)
{
    return name.empty() || name == u"默认";
}

}  // namespace

bool isDrawn(const GlyphNode& glyph)
{
    return glyph.ch > 13;
}

std::u16string bodyFace(const GlyphNode& glyph, const std::u16string& fontName)
{
    if (isDefaultName(fontName))
        return std::u16string(glyph.ch <= 255 ? kLatinFace : kChineseFace);
    if (fontName.front() > 255)
        return glyph.ch < 255 ? std::u16string(kLatinFace) : fontName;
    return fontName;
}

std::u16string codeFace(const GlyphNode& glyph, const std::u16string& codeFontName)
{
    if (isDefaultName(codeFontName) || glyph.low != 0)
        return std::u16string(kLatinFace);
    return codeFontName;
}

int pointSizeTenths(int size, double dpi)
{
    if (dpi <= 0)
        dpi = 96;
    return static_cast<int>(std::trunc(size * (96.0 / dpi * 7.5))) - 5;
}

GlyphPaint glyphPaint(const GlyphNode& glyph, const ColourSet& colours)
{
    if (glyph.selected)
        return {glyph.spoken ? colours.textBright : rgb(255, 255, 255), rgb(0, 0, 0)};
    return {glyph.spoken ? colours.textBright : colours.text, std::nullopt};
}

}  // namespace veyla::view
