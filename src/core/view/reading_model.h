// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/chapter.h"
#include "core/library/chunk_kind.h"
#include "core/view/edit_history.h"
#include "core/view/editor.h"
#include "core/view/layout_engine.h"
#include "core/view/scroll_state.h"
#include "core/view/view_geometry.h"
#include "core/view/visible_band.h"

namespace veyla::view {

enum class DisplayMode { WholeChapter, Paragraph };

// Keys the view routes to the model.
enum class EditKey { Left, Right, Up, Down, Backspace, Delete, Tab, Enter };

// The open chapter of the reading view with everything the painter and the
// input handlers need, free of any toolkit. A painter widget uses it so:
//
//   open:   model.open(chapter) after reading the chapter file; repaint.
//   resize: model.resize({width, height, windowWidth, scrollBarWidth, mode});
//           set the scroll bar from scrollSize() and scroll().position().
//   scroll: scroll().lineUp()/lineDown()/scrollTo(track)/wheel(delta) (use
//           model.wheel(delta): in paragraph mode it shows the next or
//           previous paragraph instead); repaint.
//   paint:  fill the background (background_picture.h, colour_schemes.h)
//           and the strips and bars (paint_geometry.h); for each entry of
//           paragraphsToPaint(strips) paint the paragraph's box: a code
//           frame or an annotation band (paragraphBand) and its decoration
//           (decorationRect); then its lines [firstLine, endLine): every
//           glyph with isDrawn() at (left, top) in its size, the face of
//           bodyFace()/codeFace() at pointSizeTenths(), coloured by
//           glyphPaint() in body text and by colourCodeLine() (with one
//           KeywordTables::cAndCpp() the view keeps) in code; glyphs with an
//           annotation number go over the rounded boxes of markedRuns(),
//           patterned with annotationStylePicture(). Page y minus pageTop()
//           is the y in the widget; the caret is at editor().caretX() on the
//           caret's line.
//   keys:   typeCharacter(ch) for text input, pressKey(EditKey) for the
//           editing keys, copy()/cut()/paste(text) with the clipboard.
//   mouse:  press: clickAt(x, y) with widget coordinates; drag: dragTo(x, y).
//   save:   if document().modified, chapterForSaving() and write it; then markSaved().
class ReadingModel {
public:
    ReadingModel();
    explicit ReadingModel(const LayoutParams& params);

    // Replaces the document by the chapter, laid out; the caret goes to its start.
    void open(const library::Chapter& chapter);
    // An empty document: one paragraph holding "\r".
    void clear();

    LayoutDocument& document() { return m_document; }
    const LayoutDocument& document() const { return m_document; }
    const LayoutEngine& engine() const { return m_engine; }
    const ViewGeometry& geometry() const { return m_geometry; }

    // The chapter to write and the typed-character count for its
    // Count_Input; the count starts again from zero.
    struct SaveData {
        library::Chapter chapter;
        long long typedCount = 0;
    };
    SaveData chapterForSaving();
    // After the file was written: the document is no longer modified.
    void markSaved() { m_document.modified = false; }

    // Geometry and settings; each lays out again as needed.
    void resize(const ClientArea& area);
    bool widenPage();
    bool narrowPage();
    void setTextSize(int size);
    void setCodeSize(int size);
    void setRowSpacing(int spacing);
    void setParagraphSpacing(int spacing);
    void setLineStartRule(LineStartRule rule);
    // Gives the caret's paragraph its own font face (kept in the chapter
    // file) and lays the chapter out again; false when the caret is on no
    // text paragraph or the face is already the paragraph's.
    bool setCaretParagraphFace(std::u16string face);
    // The chunk under the caret: its kind, and its size (the font size a text
    // chunk is drawn at, the height of a picture chunk).
    struct ChunkProperties {
        library::ChunkKind kind = library::ChunkKind::CharacterData;
        int size = 0;
    };
    ChunkProperties caretChunk() const;
    // Sets the height of the caret's chunk where its kind allows it, and lays
    // out again; false when it does not or nothing changed.
    bool setCaretChunkSize(int size);

    // Paragraph mode shows only the caret's paragraph, placed by itself.
    void setDisplayMode(DisplayMode mode);
    DisplayMode displayMode() const { return m_mode; }
    std::size_t shownParagraph() const { return m_shownParagraph; }
    // Shows paragraph index in paragraph mode (read-aloud moves it along).
    void showParagraph(std::size_t index);

    // Scrolling
    ScrollState& scroll() { return m_scroll; }
    const ScrollState& scroll() const { return m_scroll; }
    ScrollSize scrollSize() const;
    // A wheel turn: scrolls, or in paragraph mode shows the previous (delta > 0) or next paragraph.
    void wheel(int delta);
    // The page y shown at the top of the widget.
    int pageTop() const;
    // Scrolls so that page y is in view by the read-aloud rule; true when it scrolled.
    bool keepInView(int y);

    // Painting
    std::vector<VisibleParagraph> paragraphsToPaint(StripVisibility topStrip, StripVisibility bottomStrip);

    // Input
    Caret& caret() { return m_caret; }
    const Caret& caret() const { return m_caret; }
    Editor editor() { return Editor(m_document, m_engine, m_caret); }
    // Places the caret at a point of the widget and clears the selection.
    void clickAt(double x, double y);
    // Selects from the caret to a point of the widget.
    void dragTo(double x, double y);
    // Typed text; clears the selection flags. NotTextBox when the caret is not on a text line.
    Status typeCharacter(char16_t ch, char16_t low = 0);
    Status pressKey(EditKey key);
    std::u16string copy();
    std::u16string cut();
    Status paste(std::u16string_view text);
    WordCount wordCount();

    // Undo and redo of every edit made through the model; false when there
    // was nothing to undo or redo.
    bool undo();
    bool redo();
    // Replaces every paragraph with those of the chapter (a command that
    // rewrites the chapter, such as inserting or re-indenting code) as one
    // edit that undo reverses; the caret stays in its paragraph.
    void replaceContent(const library::Chapter& chapter);
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // A change made directly on document() (annotations, decorations) of
    // paragraphs [first, end), without changing their number: bracket it
    // with these two so that undo reverses it; a change that altered
    // nothing leaves no step.
    void beginChange(std::size_t first, std::size_t end);
    void endChange();

private:
    TextPosition positionAtWidget(double x, double y) const;
    void layoutAll();
    void reflowAll();
    void afterEdit(const EditResult& result);
    void updateScrollRange();
    void beginEdit(std::size_t first, std::size_t end, ChangeKind kind);
    void commitEdit(bool changed);
    // The paragraphs a deletion of the selection may change.
    std::pair<std::size_t, std::size_t> selectionParagraphs() const;
    void afterHistoryMove(std::optional<LogicalPosition> caret);

    LayoutEngine m_engine;
    LayoutDocument m_document = LayoutDocument::empty();
    ViewGeometry m_geometry;
    ScrollState m_scroll;
    Caret m_caret;
    FirstVisibleParagraph m_firstVisible;
    DisplayMode m_mode = DisplayMode::WholeChapter;
    std::size_t m_shownParagraph = 0;
    TextPosition m_anchor;  // where the selecting press happened
    EditHistory m_history;
    int m_wheelRest = 0;    // wheel units not yet turned into a paragraph step
};

}  // namespace veyla::view
