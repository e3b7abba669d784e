// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QGlyphRun>
#include <QHash>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QPainter;

namespace veyla::gui {

// Which face family a glyph is drawn with.
enum class FaceKind : std::uint8_t { Body, Code };
enum class FontWeight : std::uint8_t { Normal, Bold };

// Where a character is drawn from: a raw font of the cache and a glyph of it.
struct GlyphRef {
    int font = -1;  // index of the raw font; -1: nothing to draw
    quint32 glyph = 0;
};

// Resolves characters to glyphs once per (character, face kind, pixel size,
// weight, paragraph face): the face comes from the face function, which is
// given the paragraph's own face name (empty for none), font fallback is Qt's (so
// a character the face lacks comes from a face that has it). Glyphs are
// then drawn at the positions the layout gives, never shaped as runs.
class GlyphCache {
public:
    // The face name for a character of a face kind (the rules of the view's settings).
    using FaceFunction = QString (*)(char32_t code, FaceKind kind, const QString& paragraphFace,
                                     const void* context);

    void setFaceFunction(FaceFunction function, const void* context);
    // Faces changed: every resolved glyph is forgotten.
    void clear();

    // The slot of a paragraph's own face name for glyph(); 0 is "no face of its own".
    std::uint16_t faceSlot(const QString& paragraphFace);
    GlyphRef glyph(char32_t code, FaceKind kind, int pixelSize, FontWeight weight, std::uint16_t faceSlot = 0);
    const QRawFont& rawFont(int index) const { return m_rawFonts[static_cast<std::size_t>(index)]; }

private:
    GlyphRef resolve(char32_t code, FaceKind kind, int pixelSize, FontWeight weight, std::uint16_t faceSlot);
    int internRawFont(const QRawFont& font);

    FaceFunction m_face = nullptr;
    const void* m_context = nullptr;
    QHash<quint64, GlyphRef> m_glyphs;
    QStringList m_paragraphFaces{QString()};  // slot → name; slot 0 is the empty name
    std::vector<QRawFont> m_rawFonts;
};

// Glyphs collected during a paint and drawn at its end, one glyph run per
// raw font and colour, so that everything else of the frame lies below the text.
class GlyphBatches {
public:
    void add(const GlyphRef& glyph, QRgb colour, QPointF baseline);
    void draw(QPainter& painter, const GlyphCache& cache);
    void clear();

private:
    struct Batch {
        int font = -1;
        QRgb colour = 0;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    std::vector<Batch> m_batches;
    QHash<quint64, std::size_t> m_index;
};

}  // namespace veyla::gui
