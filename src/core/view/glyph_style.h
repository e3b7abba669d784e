// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "core/view/colour_schemes.h"
#include "core/view/layout_document.h"

namespace veyla::view {

inline constexpr std::u16string_view kLatinFace = u"Andale Mono";
inline constexpr std::u16string_view kChineseFace = u"方正楷体S-超大字符集";
inline constexpr int kCodeWeight = 800;

// Characters with a code up to 13 (the line end among them) are not drawn.
bool isDrawn(const GlyphNode& glyph);

// The font face of a body text glyph: without a font name (empty or "默认"),
// "Andale Mono" for codes up to 255 and "方正楷体S-超大字符集" above; with
// a name starting with a character above 255, "Andale Mono" for codes
// below 255 and the name otherwise; with a Latin name, the name.
std::u16string bodyFace(const GlyphNode& glyph, const std::u16string& fontName);
// The face of a code glyph: the code font name, or "Andale Mono" when it is
// empty (or "默认") or the glyph is a surrogate pair. Code is drawn in weight 800.
std::u16string codeFace(const GlyphNode& glyph, const std::u16string& codeFontName);

// The font size in tenths of a point for a glyph of size pixels on a screen
// of dpi dots per inch: trunc(size × (96 / dpi × 7.5)) − 5.
int pointSizeTenths(int size, double dpi);

// How a glyph of body text is drawn: a selected glyph in white (or the
// read-aloud colour while spoken) on black; otherwise in the text colour,
// or the read-aloud colour while spoken, on nothing.
struct GlyphPaint {
    Colour foreground = 0;
    std::optional<Colour> background;
};
GlyphPaint glyphPaint(const GlyphNode& glyph, const ColourSet& colours);

}  // namespace veyla::view
