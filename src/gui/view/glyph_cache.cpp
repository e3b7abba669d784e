// SPDX-License-Identifier: MIT
#include "gui/view/glyph_cache.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace veyla::gui {

namespace {

quint64 glyphKey(char32_t code, FaceKind kind, int pixelSize, FontWeight weight, std::uint16_t faceSlot)
{
    const auto size = static_cast<quint64>(std::clamp(pixelSize, 0, 0xFFFF));
    return static_cast<quint64>(code) | (size << 21) | (static_cast<quint64>(kind) << 37) |
           (static_cast<quint64>(weight) << 38) | (static_cast<quint64>(faceSlot) << 39);
}

}  // namespace

void GlyphCache::setFaceFunction(FaceFunction function, const void* context)
{
    m_face = function;
    m_context = context;
    clear();
}

void GlyphCache::clear()
{
    m_glyphs.clear();
}

std::uint16_t GlyphCache::faceSlot(const QString& paragraphFace)
{
    const auto found = m_paragraphFaces.indexOf(paragraphFace);
    if (found >= 0)
        return static_cast<std::uint16_t>(found);
    if (m_paragraphFaces.size() > 0xFFFF)  // more faces than a chapter ever names: draw with the view's
        return 0;
    m_paragraphFaces.append(paragraphFace);
    return static_cast<std::uint16_t>(m_paragraphFaces.size() - 1);
}

GlyphRef GlyphCache::glyph(char32_t code, FaceKind kind, int pixelSize, FontWeight weight, std::uint16_t faceSlot)
{
    const quint64 key = glyphKey(code, kind, pixelSize, weight, faceSlot);
    const auto found = m_glyphs.constFind(key);
    if (found != m_glyphs.constEnd())
        return *found;
    const GlyphRef ref = resolve(code, kind, pixelSize, weight, faceSlot);
    m_glyphs.insert(key, ref);
    return ref;
}

GlyphRef GlyphCache::resolve(char32_t code, FaceKind kind, int pixelSize, FontWeight weight, std::uint16_t faceSlot)
{
    if (pixelSize <= 0 || m_face == nullptr)
        return {};
    QFont font(m_face(code, kind, m_paragraphFaces.value(faceSlot), m_context));
    font.setPixelSize(pixelSize);
    font.setWeight(weight == FontWeight::Bold ? QFont::ExtraBold : QFont::Normal);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    // One character laid out alone: the glyph run says which face (after
    // fallback) and which glyph draw it.
    QTextLayout layout(QString::fromUcs4(&code, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun& run : runs) {
        const QList<quint32> indexes = run.glyphIndexes();
        if (!indexes.isEmpty() && indexes.front() != 0)
            return {internRawFont(run.rawFont()), indexes.front()};
    }
    return {};
}

int GlyphCache::internRawFont(const QRawFont& font)
{
    for (std::size_t i = 0; i < m_rawFonts.size(); ++i) {
        if (m_rawFonts[i] == font)
            return static_cast<int>(i);
    }
    m_rawFonts.push_back(font);
    return static_cast<int>(m_rawFonts.size() - 1);
}

void GlyphBatches::add(const GlyphRef& glyph, QRgb colour, QPointF baseline)
{
    if (glyph.font < 0)
        return;
    const quint64 key = (static_cast<quint64>(glyph.font) << 32) | colour;
    auto found = m_index.constFind(key);
    std::size_t index = 0;
    if (found == m_index.constEnd()) {
        index = m_batches.size();
        m_batches.push_back({glyph.font, colour, {}, {}});
        m_index.insert(key, index);
    } else {
        index = *found;
    }
    m_batches[index].glyphs.push_back(glyph.glyph);
    m_batches[index].positions.push_back(baseline);
}

void GlyphBatches::draw(QPainter& painter, const GlyphCache& cache)
{
    for (const Batch& batch : m_batches) {
        QGlyphRun run;
        run.setRawFont(cache.rawFont(batch.font));
        run.setGlyphIndexes(batch.glyphs);
        run.setPositions(batch.positions);
        painter.setPen(QColor::fromRgb(batch.colour));
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
}

void GlyphBatches::clear()
{
    m_batches.clear();
    m_index.clear();
}

}  // namespace veyla::gui
