// SPDX-License-Identifier: MIT
// The reading view's text services: the reading position, the clipboard
// and the read-aloud hooks.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>

#include "core/view/layout_engine.h"
#include "core/view/spoken_text.h"
#include "gui/app/message_box.h"
#include "gui/app/messages.h"
#include "gui/view/reading_view.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

// Characters a paragraph takes in the chapter text: its logical glyphs and its end.
long long paragraphSpan(const view::ParagraphBox& paragraph)
{
    return static_cast<long long>(view::logicalLength(paragraph)) + 1;
}

}  // namespace

long long ReadingView::position()
{
    ensureGeometry();
    const auto& paragraphs = m_model.document().paragraphs;
    long long offset = 0;
    if (paragraphMode()) {
        for (std::size_t p = 0; p < m_model.shownParagraph() && p < paragraphs.size(); ++p)
            offset += paragraphSpan(paragraphs[p]);
        return offset;
    }
    const int top = m_model.pageTop();
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        const auto& paragraph = paragraphs[p];
        if (paragraph.bottom <= top) {
            offset += paragraphSpan(paragraph);
            continue;
        }
        for (std::size_t l = 0; l < paragraph.lines.size(); ++l) {
            if (paragraph.lines[l].top >= top)
                return offset + static_cast<long long>(view::logicalOffset(paragraph, l, 0));
        }
        offset += paragraphSpan(paragraph);
    }
    return offset;
}

void ReadingView::setPosition(long long position)
{
    ensureGeometry();
    const auto& paragraphs = m_model.document().paragraphs;
    long long start = 0;
    std::size_t p = 0;
    while (p + 1 < paragraphs.size() && start + paragraphSpan(paragraphs[p]) <= position) {
        start += paragraphSpan(paragraphs[p]);
        ++p;
    }
    if (paragraphs.empty())
        return;
    const auto offset = static_cast<std::size_t>(std::max(0LL, position - start));
    const auto [line, glyph] = view::positionOfOffset(paragraphs[p], offset);
    m_model.editor().setCaret({p, line, glyph});
    if (paragraphMode()) {
        m_model.showParagraph(p);
    } else if (line < paragraphs[p].lines.size()) {
        m_model.scroll().scrollTo(paragraphs[p].lines[line].top);
    }
    syncScrollBar();
    viewport()->update();
}

void ReadingView::copySelection()
{
    const std::u16string text = m_model.copy();
    if (text.empty())
        return;
    QApplication::clipboard()->setText(QString::fromStdU16String(text));
}

void ReadingView::cutSelection()
{
    if (!m_model.editor().hasSelection())
        return;
    const std::u16string text = m_model.cut();
    QApplication::clipboard()->setText(QString::fromStdU16String(text));
    emit edited();
    syncScrollBar();
    viewport()->update();
}

void ReadingView::pasteClipboard()
{
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) {
        showMessage(this, MessageKind::Warning, u"Veyla"_s, u"不能获取剪贴板数据！"_s);
        return;
    }
    const Status status = m_model.paste(text.toStdU16String());
    if (!status) {
        showMessage(this, MessageKind::Warning, u"Veyla"_s, messageFor(status.code(), Operation::Other));
        return;
    }
    emit edited();
    ensureCaretVisible();
    syncScrollBar();
    viewport()->update();
}

std::vector<std::u16string> ReadingView::paragraphTexts() const
{
    std::vector<std::u16string> texts;
    const auto& paragraphs = m_model.document().paragraphs;
    texts.reserve(paragraphs.size());
    for (const auto& paragraph : paragraphs)
        texts.push_back(view::spokenText(paragraph));
    return texts;
}

std::shared_ptr<const std::vector<std::u16string>> ReadingView::speechSnapshot()
{
    m_speechTexts = std::make_shared<const std::vector<std::u16string>>(paragraphTexts());
    m_speechIds.clear();
    for (const auto& paragraph : m_model.document().paragraphs)
        m_speechIds.push_back(paragraph.id);
    return m_speechTexts;
}

std::optional<ReadingView::SpokenPlace> ReadingView::spokenPlace(std::size_t paragraph, std::size_t begin,
                                                                 std::size_t end) const
{
    const auto& document = m_model.document();
    if (m_speechTexts == nullptr || paragraph >= m_speechIds.size() || paragraph >= m_speechTexts->size()) {
        if (paragraph >= document.paragraphs.size())
            return std::nullopt;
        return SpokenPlace{paragraph, begin, end};
    }
    const auto index = document.findParagraph(m_speechIds[paragraph], paragraph);
    if (!index)
        return std::nullopt;
    const auto [first, last] = view::mapSpokenRange((*m_speechTexts)[paragraph],
                                                    view::spokenText(document.paragraphs[*index]), begin, end);
    return SpokenPlace{*index, first, last};
}

std::size_t ReadingView::caretLineOffset() const
{
    const auto& position = m_model.caret().position;
    const auto& paragraphs = m_model.document().paragraphs;
    if (position.paragraph >= paragraphs.size())
        return 0;
    const auto& paragraph = paragraphs[position.paragraph];
    return view::unitOffset(paragraph, view::logicalOffset(paragraph, position.line, 0));
}

void ReadingView::setSpoken(std::size_t paragraph, std::size_t begin, std::size_t end, bool spoken)
{
    const auto place = spokenPlace(paragraph, begin, end);
    if (!place)
        return;
    auto& box = m_model.document().paragraphs[place->paragraph];
    view::markSpoken(box, place->begin, place->end, spoken);
    if (spoken)
        m_spokenParagraphs.insert(box.id);
    viewport()->update();
}

void ReadingView::clearSpoken()
{
    auto& document = m_model.document();
    for (std::uint64_t id : m_spokenParagraphs)
        if (const auto index = document.findParagraph(id))
            view::clearSpoken(document.paragraphs[*index]);
    m_spokenParagraphs.clear();
    viewport()->update();
}

std::optional<view::TextPosition> ReadingView::spokenPosition(std::size_t paragraph, std::size_t offset) const
{
    const auto place = spokenPlace(paragraph, offset, offset);
    if (!place)
        return std::nullopt;
    const auto& box = m_model.document().paragraphs[place->paragraph];
    auto [line, glyph] = view::positionOfOffset(box, view::glyphOffsetOfUnits(box, place->begin));
    // The character itself, not the end of the line before it.
    if (line + 1 < box.lines.size() && glyph == box.lines[line].contentSize() && box.lines[line + 1].continuation) {
        ++line;
        glyph = 0;
    }
    return view::TextPosition{place->paragraph, line, glyph};
}

bool ReadingView::keepInView(std::size_t paragraph, std::size_t offset)
{
    const auto position = spokenPosition(paragraph, offset);
    if (!position)
        return false;
    const auto& lines = m_model.document().paragraphs[position->paragraph].lines;
    if (position->line >= lines.size())
        return false;
    const bool scrolled = m_model.keepInView(lines[position->line].top);
    if (scrolled) {
        syncScrollBar();
        viewport()->update();
    }
    return scrolled;
}

void ReadingView::showParagraph(std::size_t paragraph)
{
    if (const auto place = spokenPlace(paragraph, 0, 0))
        m_model.showParagraph(place->paragraph);
    viewport()->update();
}

bool ReadingView::keepParagraphInView(std::size_t paragraph)
{
    const auto place = spokenPlace(paragraph, 0, 0);
    if (!place || !m_model.keepInView(m_model.document().paragraphs[place->paragraph].top))
        return false;
    syncScrollBar();
    viewport()->update();
    return true;
}

void ReadingView::followSpeech(std::size_t paragraph, std::size_t offset)
{
    if (m_model.editor().hasSelection())
        return;
    if (const auto position = spokenPosition(paragraph, offset))
        m_model.editor().setCaret(*position);
}

}  // namespace veyla::gui
