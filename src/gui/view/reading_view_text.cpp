// SPDX-License-Identifier: MIT
// The reading view's text services: the reading position, the clipboard
// and the read-aloud hooks.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>

#include "core/view/layout_engine.h"
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

// The glyph of a paragraph at a unit offset of its line-by-line text; the last glyph when past the end.
std::optional<view::TextPosition> glyphAtOffset(const view::LayoutDocument& document, std::size_t paragraph,
                                                std::size_t offset)
{
    if (paragraph >= document.paragraphs.size())
        return std::nullopt;
    const auto& lines = document.paragraphs[paragraph].lines;
    std::size_t at = 0;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        for (std::size_t g = 0; g < lines[l].glyphs.size(); ++g) {
            const std::size_t units = lines[l].glyphs[g].low != 0 ? 2 : 1;
            if (offset < at + units || (l + 1 == lines.size() && g + 1 == lines[l].glyphs.size()))
                return view::TextPosition{paragraph, l, g};
            at += units;
        }
    }
    return std::nullopt;
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
    for (const auto& paragraph : paragraphs) {
        std::u16string text;
        for (const auto& line : paragraph.lines) {
            for (const auto& glyph : line.glyphs) {
                text += glyph.ch;
                if (glyph.low != 0)
                    text += glyph.low;
            }
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

std::size_t ReadingView::caretLineOffset() const
{
    const auto& position = m_model.caret().position;
    const auto& paragraphs = m_model.document().paragraphs;
    if (position.paragraph >= paragraphs.size())
        return 0;
    std::size_t offset = 0;
    const auto& lines = paragraphs[position.paragraph].lines;
    for (std::size_t l = 0; l < position.line && l < lines.size(); ++l) {
        for (const auto& glyph : lines[l].glyphs)
            offset += glyph.low != 0 ? 2 : 1;
    }
    return offset;
}

void ReadingView::setSpoken(std::size_t paragraph, std::size_t begin, std::size_t end, bool spoken)
{
    auto& paragraphs = m_model.document().paragraphs;
    if (paragraph >= paragraphs.size())
        return;
    std::size_t at = 0;
    for (auto& line : paragraphs[paragraph].lines) {
        for (auto& glyph : line.glyphs) {
            if (at >= begin && at < end)
                glyph.spoken = spoken;
            at += glyph.low != 0 ? 2 : 1;
        }
    }
    if (spoken)
        m_spokenParagraphs.insert(paragraph);
    viewport()->update();
}

void ReadingView::clearSpoken()
{
    auto& paragraphs = m_model.document().paragraphs;
    for (std::size_t p : m_spokenParagraphs) {
        if (p >= paragraphs.size())
            continue;
        for (auto& line : paragraphs[p].lines) {
            for (auto& glyph : line.glyphs)
                glyph.spoken = false;
        }
    }
    m_spokenParagraphs.clear();
    viewport()->update();
}

bool ReadingView::keepInView(std::size_t paragraph, std::size_t offset)
{
    const auto position = glyphAtOffset(m_model.document(), paragraph, offset);
    if (!position)
        return false;
    const auto& glyph =
        m_model.document().paragraphs[paragraph].lines[position->line].glyphs[position->glyph];
    const bool scrolled = m_model.keepInView(static_cast<int>(glyph.top));
    if (scrolled) {
        syncScrollBar();
        viewport()->update();
    }
    return scrolled;
}

void ReadingView::showParagraph(std::size_t paragraph)
{
    m_model.showParagraph(paragraph);
    viewport()->update();
}

bool ReadingView::keepParagraphInView(std::size_t paragraph)
{
    const auto& paragraphs = m_model.document().paragraphs;
    if (paragraph >= paragraphs.size() || !m_model.keepInView(paragraphs[paragraph].top))
        return false;
    syncScrollBar();
    viewport()->update();
    return true;
}

void ReadingView::followSpeech(std::size_t paragraph, std::size_t offset)
{
    if (m_model.editor().hasSelection())
        return;
    if (const auto position = glyphAtOffset(m_model.document(), paragraph, offset))
        m_model.editor().setCaret(*position);
}

}  // namespace veyla::gui
