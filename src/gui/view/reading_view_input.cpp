// SPDX-License-Identifier: MIT
// The reading view's input: keys, typed and composed text, the mouse and the context menu.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include "core/view/editor.h"
#include "gui/view/reading_view.h"

namespace veyla::gui {

void ReadingView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutSelection();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteClipboard();
        return;
    }
    // Ctrl+Z undoes; Ctrl+Shift+Z and Ctrl+Y redo, whatever the desktop's own bindings.
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool ctrlShift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
    if ((ctrl && event->key() == Qt::Key_Z) || event->matches(QKeySequence::Undo)) {
        undo();
        return;
    }
    if ((ctrlShift && event->key() == Qt::Key_Z) || (ctrl && event->key() == Qt::Key_Y) ||
        event->matches(QKeySequence::Redo)) {
        redo();
        return;
    }
    std::optional<view::EditKey> key;
    switch (event->key()) {
    case Qt::Key_Left: key = view::EditKey::Left; break;
    case Qt::Key_Right: key = view::EditKey::Right; break;
    case Qt::Key_Up: key = view::EditKey::Up; break;
    case Qt::Key_Down: key = view::EditKey::Down; break;
    case Qt::Key_Backspace: key = view::EditKey::Backspace; break;
    case Qt::Key_Delete: key = view::EditKey::Delete; break;
    case Qt::Key_Tab: key = view::EditKey::Tab; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: key = view::EditKey::Enter; break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int step = std::max(1, viewport()->height() - 50);
        m_model.scroll().scrollBy(event->key() == Qt::Key_PageUp ? -step : step);
        syncScrollBar();
        viewport()->update();
        return;
    }
    default: break;
    }
    if (key) {
        const bool editing = *key == view::EditKey::Backspace || *key == view::EditKey::Delete ||
                             *key == view::EditKey::Tab || *key == view::EditKey::Enter;
        const Status status = m_model.pressKey(*key);
        if (editing)
            afterEdit(status);
        ensureCaretVisible();
        syncScrollBar();
        viewport()->update();
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) &&
                           text.front().unicode() >= 0x20 && text.front().unicode() != 0x7F;
    if (printable) {
        typeText(text);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ReadingView::typeText(const QString& text)
{
    Status status;
    bool typed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        char16_t low = 0;
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            low = text[++i].unicode();
        status = m_model.typeCharacter(ch, low);
        if (!status)
            break;
        typed = true;
    }
    if (typed || !status)
        afterEdit(status);
    ensureCaretVisible();
    syncScrollBar();
    viewport()->update();
}

void ReadingView::undo()
{
    showHistoryMove(m_model.undo());
}

void ReadingView::redo()
{
    showHistoryMove(m_model.redo());
}

void ReadingView::replaceContent(const library::Chapter& chapter)
{
    m_model.replaceContent(chapter);
    m_spokenParagraphs.clear();
    m_hover.reset();
    emit edited();
    syncScrollBar();
    viewport()->update();
}

void ReadingView::showHistoryMove(bool moved)
{
    if (!moved)
        return;
    emit edited();
    ensureCaretVisible();
    syncScrollBar();
    viewport()->update();
}

void ReadingView::afterEdit(const Status& status)
{
    if (status)
        emit edited();
}

void ReadingView::ensureCaretVisible()
{
    if (paragraphMode())
        return;
    const QRect caret = caretRect();
    if (caret.isNull())
        return;
    const int top = m_model.scroll().position();
    if (caret.top() < 0)
        m_model.scroll().scrollTo(top + caret.top() - 10);
    else if (caret.bottom() > viewport()->height())
        m_model.scroll().scrollTo(top + caret.bottom() - viewport()->height() + 10);
}

QRect ReadingView::caretRect() const
{
    const auto& position = m_model.caret().position;
    const auto& paragraphs = m_model.document().paragraphs;
    if (position.paragraph >= paragraphs.size() || position.line >= paragraphs[position.paragraph].lines.size())
        return {};
    const auto& line = paragraphs[position.paragraph].lines[position.line];
    const int size = line.glyphs.back().size;
    const auto& caret = line.glyphs[std::min(position.glyph, line.glyphs.size() - 1)];
    return QRect(static_cast<int>(caret.left), line.top - m_model.pageTop(), 2, std::max(1, size));
}

void ReadingView::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty())
        typeText(event->commitString());
    event->accept();
}

QVariant ReadingView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImCursorRectangle: return caretRect();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void ReadingView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    m_model.clickAt(event->position().x(), event->position().y());
    m_selecting = true;
    viewport()->update();
}

void ReadingView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        m_model.dragTo(event->position().x(), event->position().y());
        viewport()->update();
        return;
    }
    const auto hover = lineAt(event->position());
    if (hover != m_hover) {
        m_hover = hover;
        viewport()->update();
    }
}

void ReadingView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_selecting = false;
}

void ReadingView::leaveEvent(QEvent*)
{
    if (m_hover) {
        m_hover.reset();
        viewport()->update();
    }
}

std::optional<PaintExtras::LineRef> ReadingView::lineAt(QPointF point) const
{
    const auto& document = m_model.document();
    const double y = point.y() + m_model.pageTop();
    const view::TextPosition position =
        paragraphMode() ? view::positionInParagraph(document, m_model.shownParagraph(), point.x(), point.y())
                        : view::positionAt(document, point.x(), y);
    if (position.paragraph >= document.paragraphs.size())
        return std::nullopt;
    const auto& lines = document.paragraphs[position.paragraph].lines;
    if (position.line >= lines.size())
        return std::nullopt;
    const auto& line = lines[position.line];
    if (y < line.top || y >= line.bottom || point.x() < line.left || point.x() > line.right)
        return std::nullopt;
    return PaintExtras::LineRef{position.paragraph, position.line};
}

void ReadingView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    if (m_fillMenu)
        m_fillMenu(menu);
    menu.exec(event->globalPos());
}

void ReadingView::focusInEvent(QFocusEvent* event)
{
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void ReadingView::focusOutEvent(QFocusEvent* event)
{
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

bool ReadingView::focusNextPrevChild(bool)
{
    return false;  // Tab is a character of the text
}

}  // namespace veyla::gui
