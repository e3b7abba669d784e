// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/library/chapter.h"
#include "core/view/reading_model.h"
#include "gui/view/reading_painter.h"

class QMenu;

namespace veyla::gui {

class DisplayState;

// The reading view: paints the open chapter's reading model into a back
// buffer and copies it to the screen in one go, and routes scrolling, keys,
// typed and composed text, the mouse and the clipboard to the model. Sizes
// and spacings come from the display settings; a resize lays the chapter
// out again for the new width.
class ReadingView : public QAbstractScrollArea {
    Q_OBJECT
public:
    ReadingView(DisplayState& display, QWidget* parent = nullptr);

    view::ReadingModel& model() { return m_model; }
    const view::ReadingModel& model() const { return m_model; }
    DisplayState& display() const { return m_display; }

    // Shows a chapter laid out with the current settings, the caret at its start.
    void showChapter(const library::Chapter& chapter);
    void clearChapter();
    bool isModified() const { return m_model.document().modified; }
    void setModified(bool modified);

    // The text and code sizes and the spacings of the settings reach the layout.
    void applyLayoutSettings();
    // Colours, pictures or faces changed: paint again.
    void refresh();
    bool widenPage();
    bool narrowPage();
    void setParagraphMode(bool on);
    bool paragraphMode() const { return m_model.displayMode() == view::DisplayMode::Paragraph; }

    // The reading position: a character offset into the chapter's text (each
    // paragraph's text and its end) of the first line shown at the top.
    long long position();
    void setPosition(long long position);

    // While still() is true the view keeps its last frame: no layout, no painting.
    void setStillWhile(std::function<bool()> still) { m_still = std::move(still); }
    // Lays out for the current size and paints, after a still period.
    void resume();

    void setContextMenuFiller(std::function<void(QMenu&)> filler) { m_fillMenu = std::move(filler); }

    // Undo and redo of the view's edits (Ctrl+Z; Ctrl+Shift+Z or Ctrl+Y).
    void undo();
    void redo();
    // Shows a rewritten chapter in place of the open one as an edit that
    // undo reverses (see ReadingModel::replaceContent).
    void replaceContent(const library::Chapter& chapter);

    // Editing commands with the system clipboard.
    void copySelection();
    void cutSelection();
    void pasteClipboard();

    // Paints the current frame into the back buffer and returns it.
    const QImage& renderFrame();

    // Read-aloud. A paragraph's text is view::spokenText: its characters,
    // a code line break as "\r"; offsets count UTF-16 units of it.
    std::vector<std::u16string> paragraphTexts() const;
    // The texts read aloud from now on. The view remembers which paragraph
    // each came from: the paragraph numbers and offsets read-aloud reports
    // refer to this snapshot, and land on the same characters after the
    // chapter is laid out again or edited.
    std::shared_ptr<const std::vector<std::u16string>> speechSnapshot();
    std::size_t currentParagraph() const { return m_model.caret().position.paragraph; }
    // The offset of the caret line's first glyph in the current paragraph's text.
    std::size_t caretLineOffset() const;
    // Marks [begin, end) of paragraph's text as being spoken (or not) and repaints.
    void setSpoken(std::size_t paragraph, std::size_t begin, std::size_t end, bool spoken = true);
    void clearSpoken();
    // Scrolls by the read-aloud rule so that the glyph at offset of paragraph stays in view.
    bool keepInView(std::size_t paragraph, std::size_t offset);
    // In paragraph mode, shows paragraph (read-aloud moves it along).
    void showParagraph(std::size_t paragraph);
    // Scrolls by the read-aloud rule so that the top of paragraph stays in view.
    bool keepParagraphInView(std::size_t paragraph);
    // Puts the caret on the glyph at offset of paragraph's text, so that the
    // current line follows read-aloud; a selection keeps the caret where it is.
    void followSpeech(std::size_t paragraph, std::size_t offset);

signals:
    // The chapter was changed by typing, deleting, cutting or pasting.
    void edited();
    // Another chapter (or none) is shown now.
    void chapterShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool isStill() const { return m_still && m_still(); }
    view::ClientArea clientArea() const;
    void relayout();
    void ensureGeometry();
    void syncScrollBar();
    void afterEdit(const Status& status);
    void showHistoryMove(bool moved);
    void typeText(const QString& text);
    void ensureCaretVisible();
    std::optional<PaintExtras::LineRef> lineAt(QPointF point) const;
    QRect caretRect() const;
    // Where units [begin, end) of a snapshot paragraph are now.
    struct SpokenPlace {
        std::size_t paragraph = 0;
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    std::optional<SpokenPlace> spokenPlace(std::size_t paragraph, std::size_t begin, std::size_t end) const;
    std::optional<view::TextPosition> spokenPosition(std::size_t paragraph, std::size_t offset) const;

    DisplayState& m_display;
    view::ReadingModel m_model;
    ReadingPainter m_painter;
    QImage m_buffer;
    std::optional<PaintExtras::LineRef> m_hover;
    std::set<std::uint64_t> m_spokenParagraphs;  // ids of paragraphs holding spoken glyphs
    std::vector<std::uint64_t> m_speechIds;        // the paragraph of each text of the speech snapshot
    std::shared_ptr<const std::vector<std::u16string>> m_speechTexts;
    std::function<bool()> m_still;
    std::function<void(QMenu&)> m_fillMenu;
    bool m_selecting = false;
    bool m_syncingScrollBar = false;
    bool m_layoutPending = false;
};

}  // namespace veyla::gui
