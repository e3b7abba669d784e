// SPDX-License-Identifier: MIT
#include "gui/view/reading_painter.h"

#include <QPainter>

#include "core/view/glyph_style.h"
#include "core/view/paint_geometry.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

namespace {

constexpr double kBaselineRatio = 0.88;  // the ascent of the Chinese faces, as a share of the size

// The face rules of the view's settings; context is the painter's pair of face
// names. A paragraph's own face takes the place of the body face name.
template <typename Names>
QString faceFor(char32_t code, FaceKind kind, const QString& paragraphFace, const void* context)
{
    const auto& names = *static_cast<const Names*>(context);
    view::GlyphNode glyph;
    if (code > 0xFFFF) {
        glyph.ch = QChar::highSurrogate(code);
        glyph.low = QChar::lowSurrogate(code);
    } else {
        glyph.ch = static_cast<char16_t>(code);
    }
    if (kind == FaceKind::Code)
        return QString::fromStdU16String(view::codeFace(glyph, names.code));
    return QString::fromStdU16String(
        view::bodyFace(glyph, paragraphFace.isEmpty() ? names.body : paragraphFace.toStdU16String()));
}

}  // namespace

ReadingPainter::ReadingPainter() : m_keywords(view::KeywordTables::cAndCpp())
{
    m_glyphs.setFaceFunction(faceFor<FaceNames>, &m_faces);
}

double ReadingPainter::baseline(int size)
{
    return size * kBaselineRatio;
}

void ReadingPainter::fontsChanged()
{
    m_glyphs.clear();
}

void ReadingPainter::paint(QImage& image, view::ReadingModel& model, DisplayState& display, const PaintExtras& extras)
{
    if (display.settings.fontName != m_faces.body || display.settings.codeFontName != m_faces.code) {
        m_faces.body = display.settings.fontName;
        m_faces.code = display.settings.codeFontName;
        m_glyphs.clear();
    }
    QPainter painter(&image);
    Frame frame{painter, image, model, display, extras, display.schemes.colours(), model.pageTop()};
    paintBackground(frame);
    const bool strips = !display.rowLines.empty();
    const bool top = strips && display.settings.wholeTop;
    const bool bottom = strips && display.settings.wholeBottom;
    paintStrips(frame, top, bottom);
    paintBars(frame);

    m_batches.clear();
    const auto visible = model.paragraphsToPaint(top ? view::StripVisibility::Shown : view::StripVisibility::Hidden,
                                                 bottom ? view::StripVisibility::Shown : view::StripVisibility::Hidden);
    for (const auto& entry : visible)
        paintParagraph(frame, entry);
    painter.setRenderHint(QPainter::TextAntialiasing);
    m_batches.draw(painter, m_glyphs);
    if (extras.caret)
        paintCaret(frame);
}

void ReadingPainter::paintBackground(Frame& frame)
{
    const QSize size = frame.image.size();
    if (!frame.display.backgroundPicture.empty()) {
        const QImage& picture = m_pictures.scaled(frame.display.backgroundPicture, size);
        if (!picture.isNull()) {
            frame.painter.drawImage(0, 0, picture);
            return;
        }
    }
    frame.painter.fillRect(QRect(QPoint(0, 0), size), toQColor(frame.colours.bg));
}

void ReadingPainter::paintStrips(Frame& frame, bool top, bool bottom)
{
    if (!top && !bottom)
        return;
    const auto picture = frame.display.stripPicture();
    if (!picture)
        return;
    const int width = frame.image.width();
    const int margin = frame.model.engine().params().topMargin;
    const auto draw = [&](const view::PixelRect& rect) {
        const QImage& image = m_pictures.scaled(*picture, QSize(rect.width(), rect.height()), PictureKey::LightColours);
        if (!image.isNull())
            frame.painter.drawImage(rect.left, rect.top, image);
    };
    if (top)
        draw(view::topStrip(width, margin));
    if (bottom)
        draw(view::bottomStrip(width, frame.image.height(), margin));
}

void ReadingPainter::paintBars(Frame& frame)
{
    const auto& settings = frame.display.settings;
    if (!settings.wholeLeft)
        return;
    const auto& geometry = frame.model.geometry();
    const auto place = [&](const std::filesystem::path& path, bool left) {
        const QImage& source = m_pictures.picture(path, PictureKey::LightColours);
        if (source.isNull())
            return;
        const auto bars = view::verticalBars(source.width(), source.height(), frame.image.height(),
                                             frame.image.width(), geometry.leftMargin(), geometry.pageWidth(),
                                             settings.verticalWidth, settings.verticalPosition);
        const view::PixelRect& rect = left ? bars.left : bars.right;
        const QImage& image = m_pictures.scaled(path, QSize(rect.width(), rect.height()), PictureKey::LightColours);
        if (!image.isNull())
            frame.painter.drawImage(rect.left, rect.top, image);
    };
    // nSelect: 0 both sides, 1 the left side only, 2 the right side only.
    if (settings.select != 2) {
        if (const auto picture = frame.display.leftBarPicture())
            place(*picture, true);
    }
    if (settings.select != 1) {
        if (const auto picture = frame.display.rightBarPicture())
            place(*picture, false);
    }
}

void ReadingPainter::paintCaret(Frame& frame)
{
    auto& model = frame.model;
    const auto& position = model.caret().position;
    const auto& document = model.document();
    if (position.paragraph >= document.paragraphs.size())
        return;
    const auto& paragraph = document.paragraphs[position.paragraph];
    if (position.line >= paragraph.lines.size())
        return;
    const auto& line = paragraph.lines[position.line];
    const double x = model.editor().caretX();
    const int size = line.glyphs.empty() ? model.engine().params().textSize : line.glyphs.back().size;
    frame.painter.fillRect(QRectF(x, line.top - frame.pageTop, 2, size), toQColor(frame.colours.text));
}

}  // namespace veyla::gui
