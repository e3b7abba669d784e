// SPDX-License-Identifier: MIT
#include "gui/view/plain_chapter_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>

namespace veyla::gui {

namespace {

// The text shown for a paragraph: a closing "\r" is not shown.
QString shownText(const library::Paragraph& paragraph)
{
    std::u16string text = paragraph.text();
    if (!text.empty() && text.back() == u'\r')
        text.pop_back();
    return QString::fromStdU16String(text);
}

}  // namespace

PlainChapterView::PlainChapterView(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("chapterView"));
    setFrameShape(QFrame::NoFrame);
    QFont font = this->font();
    font.setPixelSize(22);
    setFont(font);
    setViewportMargins(40, 20, 40, 20);
}

void PlainChapterView::showChapter(const library::Chapter& chapter)
{
    m_original = chapter;
    QStringList lines;
    for (const auto& paragraph : chapter.paragraphs)
        lines << shownText(paragraph);
    setPlainText(lines.join(QLatin1Char('\n')));
    document()->setModified(chapter.modified);
    moveCursor(QTextCursor::Start);
}

void PlainChapterView::clearChapter()
{
    m_original = {};
    clear();
    document()->setModified(false);
}

library::Chapter PlainChapterView::chapter() const
{
    library::Chapter edited = m_original;
    edited.paragraphs.clear();
    int index = 0;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next(), ++index) {
        const QString text = block.text();
        const auto i = static_cast<std::size_t>(index);
        if (i < m_original.paragraphs.size() && shownText(m_original.paragraphs[i]) == text) {
            edited.paragraphs.push_back(m_original.paragraphs[i]);
            continue;
        }
        library::Paragraph paragraph;
        if (i < m_original.paragraphs.size())
            paragraph = m_original.paragraphs[i];
        paragraph.runs = {{text.toStdU16String(), {}}};
        if (!text.isEmpty())
            edited.paragraphs.push_back(std::move(paragraph));
    }
    return edited;
}

long long PlainChapterView::position() const
{
    return cursorForPosition(QPoint(0, 0)).position();
}

void PlainChapterView::setPosition(long long position)
{
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(std::clamp<long long>(position, 0, document()->characterCount() - 1)));
    setTextCursor(cursor);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    ensureCursorVisible();
}

void PlainChapterView::setColours(const QColor& background, const QColor& text)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Text, text);
    setPalette(p);
}

void PlainChapterView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    if (m_fillMenu)
        m_fillMenu(menu);
    menu.exec(event->globalPos());
}

}  // namespace veyla::gui
