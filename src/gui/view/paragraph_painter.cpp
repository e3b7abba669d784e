// SPDX-License-Identifier: MIT
// The paragraphs of a frame: boxes, decorations, annotated runs and glyphs.
#include <QPainter>
#include <QPainterPath>

#include "core/view/annotations.h"
#include "core/view/code_colouring.h"
#include "core/view/glyph_style.h"
#include "core/view/paint_geometry.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_painter.h"

namespace veyla::gui {

namespace {

constexpr double kBandOpacity = 0.28;  // annotation bands stay light so the text over them reads
constexpr int kRunRadius = 20;
constexpr int kRunPadding = 2;

QRect toRect(const view::PixelRect& rect, int pageTop)
{
    return QRect(rect.left, rect.top - pageTop, rect.width(), rect.height());
}

std::optional<std::filesystem::path> listPicture(const view::DecorationImageList& list, int index)
{
    if (index <= 0 || static_cast<std::size_t>(index) >= list.size())
        return std::nullopt;
    return list.path(static_cast<std::size_t>(index));
}

char32_t codeOf(const view::GlyphNode& glyph)
{
    return glyph.low != 0 ? QChar::surrogateToUcs4(glyph.ch, glyph.low) : glyph.ch;
}

}  // namespace

void ReadingPainter::paintParagraph(Frame& frame, const view::VisibleParagraph& visible)
{
    const auto& paragraph = frame.model.document().paragraphs[visible.paragraph];
    paintParagraphBox(frame, paragraph, visible);
    if (!paragraph.isText())
        return;
    paintRuns(frame, visible);
    for (std::size_t l = visible.firstLine; l < visible.endLine; ++l) {
        const auto& line = paragraph.lines[l];
        paintLine(frame, paragraph, line);
        if (frame.extras.hoverLine == PaintExtras::LineRef{visible.paragraph, l}) {
            const QRect bar = toRect(view::hoverBar(line), frame.pageTop);
            frame.painter.fillRect(bar, toQColor(frame.colours.text));
        }
    }
}

void ReadingPainter::paintParagraphBox(Frame& frame, const view::ParagraphBox& paragraph,
                                       const view::VisibleParagraph& visible)
{
    QPainter& painter = frame.painter;
    const auto& document = frame.model.document();
    const auto& params = frame.model.engine().params();
    const auto& settings = frame.display.settings;
    if (paragraph.isCode()) {
        const QRect box = toRect(view::paragraphBand(paragraph, document, params), frame.pageTop);
        painter.fillRect(box, toQColor(frame.colours.codeBg));
        painter.setPen(QPen(toQColor(frame.colours.left), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    } else if (paragraph.annotation > 0) {
        const QImage& pattern = m_pictures.picture(frame.display.annotationPattern(paragraph.annotation));
        const QRect band = toRect(view::paragraphBand(paragraph, document, params), frame.pageTop);
        painter.setOpacity(kBandOpacity);
        painter.fillRect(band, pattern.isNull() ? QBrush(toQColor(frame.colours.text)) : QBrush(pattern));
        painter.setOpacity(1.0);
    }
    // Horizontal bar: the decoration picture across the gap above the paragraph.
    if (const auto rect = view::decorationRect(paragraph, document, params)) {
        if (const auto picture = listPicture(frame.display.rowLines, paragraph.decoration)) {
            const int height = 4 * (std::clamp(settings.horize, 0, 13) + 1);
            const QImage& bar = m_pictures.scaled(*picture, QSize(rect->width(), height), PictureKey::LightColours);
            if (!bar.isNull())
                painter.drawImage(rect->left, rect->top - frame.pageTop - height / 2, bar);
        }
    }
    // Row lines: the row-line picture as a thin line under each text line.
    if (const auto picture = listPicture(frame.display.rowLines, paragraph.horizontalLine)) {
        for (std::size_t l = visible.firstLine; l < visible.endLine; ++l) {
            const auto& line = paragraph.lines[l];
            const int size = line.glyphs.back().size;
            const int y = line.top + size + (line.height - size) / 2 - 5 - frame.pageTop;
            const int width = std::max(1, line.right - line.left);
            const QImage& image = m_pictures.scaled(*picture, QSize(width, 10), PictureKey::LightColours);
            if (!image.isNull())
                painter.drawImage(line.left, y, image);
        }
    }
    // Paragraph picture: a slim picture in the margin left of the paragraph.
    if (const auto picture = listPicture(frame.display.paragraphPictures, paragraph.paragraphPicture)) {
        const int textHeight = std::max(0, paragraph.height - params.paragraphSpacing - params.rowSpacing);
        const int height = textHeight * (100 - std::clamp(settings.pramLength, 0, 100)) / 100;
        const int width = 8 + 2 * std::clamp(settings.pramWidth, 0, 50);
        if (height > 0) {
            const QImage& image = m_pictures.scaled(*picture, QSize(width, height));
            if (!image.isNull())
                painter.drawImage(paragraph.left - 16 - width, paragraph.top - frame.pageTop, image);
        }
    }
}

void ReadingPainter::paintRuns(Frame& frame, const view::VisibleParagraph& visible)
{
    const auto runs = view::markedRuns(frame.model.document(), visible.paragraph, visible.firstLine, visible.endLine);
    if (runs.empty())
        return;
    QPainter& painter = frame.painter;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const auto& run : runs) {
        const QImage& pattern = m_pictures.picture(frame.display.annotationPattern(run.number));
        painter.setBrush(pattern.isNull() ? QBrush(QColor(120, 120, 120)) : QBrush(pattern));
        const QRectF box(run.left - kRunPadding, run.top - frame.pageTop - kRunPadding,
                         run.right - run.left + 2 * kRunPadding, run.bottom - run.top + 2 * kRunPadding);
        painter.drawRoundedRect(box, kRunRadius, kRunRadius);
    }
    painter.restore();
}

void ReadingPainter::paintLine(Frame& frame, const view::ParagraphBox& paragraph, const view::TextLine& line)
{
    const bool code = paragraph.isCode();
    std::vector<view::CodeGlyphStyle> styles;
    if (code)
        styles = view::colourCodeLine(line, m_keywords);
    const auto& colours = frame.colours;
    // A paragraph's own face (the chapter file's FontName) replaces the view's body face.
    const bool ownFace = paragraph.fontFace && !paragraph.fontFace->empty() && *paragraph.fontFace != u"默认";
    const std::uint16_t faceSlot = ownFace ? m_glyphs.faceSlot(QString::fromStdU16String(*paragraph.fontFace)) : 0;
    for (std::size_t g = 0; g < line.glyphs.size(); ++g) {
        const view::GlyphNode& glyph = line.glyphs[g];
        if (!view::isDrawn(glyph))
            continue;
        view::GlyphPaint paint = view::glyphPaint(glyph, colours);
        FontWeight weight = FontWeight::Normal;
        if (code && g < styles.size()) {
            if (!glyph.selected && !glyph.spoken)
                paint.foreground = view::colourOf(styles[g].role, colours);
            if (styles[g].bold)
                weight = FontWeight::Bold;
        }
        if (glyph.annotation != 0 && !glyph.selected && !glyph.spoken)
            paint.foreground = view::rgb(255, 255, 255);
        const double top = line.top - frame.pageTop;
        if (paint.background)
            frame.painter.fillRect(QRectF(glyph.left, top, glyph.right - glyph.left, glyph.size),
                                   toQColor(*paint.background));
        const GlyphRef ref =
            m_glyphs.glyph(codeOf(glyph), code ? FaceKind::Code : FaceKind::Body, glyph.size, weight, faceSlot);
        m_batches.add(ref, toQColor(paint.foreground).rgb(), QPointF(glyph.left, top + baseline(glyph.size)));
    }
}

}  // namespace veyla::gui
