// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

#include <cstddef>
#include <optional>

#include "core/view/colour_schemes.h"
#include "core/view/keyword_tables.h"
#include "core/view/reading_model.h"
#include "gui/view/glyph_cache.h"
#include "gui/view/picture_cache.h"

class QPainter;

namespace veyla::gui {

class DisplayState;

// What a frame shows besides the model and the display values.
struct PaintExtras {
    struct LineRef {
        std::size_t paragraph = 0;
        std::size_t line = 0;
        friend bool operator==(const LineRef&, const LineRef&) = default;
    };
    std::optional<LineRef> hoverLine;  // the line under the pointer gets a bar beneath it
    bool caret = false;
};

// Paints the reading model into a frame: the background colour or picture,
// the row-line strips and the vertical bars, then for each paragraph the
// model says is visible its code frame or annotation band, its decoration
// pictures, the rounded boxes of its annotated runs and its glyphs. Every
// glyph is drawn at the position the layout gives it, in its own size (a
// glyph of size s is s pixels high), from glyph runs batched per face and
// colour. Page y minus the model's page top is the y in the frame.
class ReadingPainter {
public:
    ReadingPainter();

    void paint(QImage& frame, view::ReadingModel& model, DisplayState& display, const PaintExtras& extras);
    // The font names changed.
    void fontsChanged();
    // The baseline of a glyph of size pixels drawn with its top at 0.
    static double baseline(int size);

private:
    // One paint: the target and what it shows.
    struct Frame {
        QPainter& painter;
        QImage& image;
        view::ReadingModel& model;
        DisplayState& display;
        const PaintExtras& extras;
        const view::ColourSet& colours;
        int pageTop = 0;
    };
    void paintBackground(Frame& frame);
    void paintStrips(Frame& frame, bool top, bool bottom);
    void paintBars(Frame& frame);
    void paintParagraph(Frame& frame, const view::VisibleParagraph& visible);
    void paintParagraphBox(Frame& frame, const view::ParagraphBox& paragraph, const view::VisibleParagraph& visible);
    void paintRuns(Frame& frame, const view::VisibleParagraph& visible);
    void paintLine(Frame& frame, const view::ParagraphBox& paragraph, const view::TextLine& line);
    void paintCaret(Frame& frame);

    GlyphCache m_glyphs;
    GlyphBatches m_batches;
    PictureCache m_pictures;
    view::KeywordTables m_keywords;
    struct FaceNames {
        std::u16string body;
        std::u16string code;
    } m_faces;
};

}  // namespace veyla::gui
