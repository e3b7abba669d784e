// SPDX-License-Identifier: MIT
#include "core/view/reading_model.h"

#include <algorithm>

#include "core/view/chapter_conversion.h"

namespace veyla::view {

namespace {

// The caret's paragraph, within the document.
std::size_t caretParagraphOf(const LayoutDocument& document, const Caret& caret)
{
    return document.paragraphs.empty() ? 0 : std::min(caret.position.paragraph, document.paragraphs.size() - 1);
}

}  // namespace

ReadingModel::ReadingModel()
{
    m_engine.layoutDocument(m_document);
}

ReadingModel::ReadingModel(const LayoutParams& params) : m_engine(params)
{
    m_engine.layoutDocument(m_document);
}

void ReadingModel::open(const library::Chapter& chapter)
{
    // The old chapter goes first, so two big chapters are never in memory at once.
    const std::uint64_t firstId = m_document.nextParagraphId;
    m_document = LayoutDocument::empty();
    m_history.clear();
    m_document = documentFromChapter(chapter, m_engine, firstId);  // laid out already
    m_caret = {};
    m_anchor = {};
    m_firstVisible.reset();
    m_shownParagraph = 0;
    m_scroll.scrollTo(0);
    if (m_mode == DisplayMode::Paragraph)
        showParagraph(0);
    updateScrollRange();
}

void ReadingModel::clear()
{
    open(library::Chapter{});
}

ReadingModel::SaveData ReadingModel::chapterForSaving()
{
    SaveData data{chapterFromDocument(m_document, m_engine), m_document.typedCount};
    m_document.typedCount = 0;
    return data;
}

void ReadingModel::resize(const ClientArea& area)
{
    const int pageWidth = m_engine.params().pageWidth;
    m_geometry.resize(area);
    m_geometry.applyTo(m_engine.params());
    // Lines are broken again only when the page width changed.
    if (m_engine.params().pageWidth != pageWidth)
        reflowAll();
    else
        layoutAll();
}

bool ReadingModel::widenPage()
{
    if (!m_geometry.widenPage())
        return false;
    m_geometry.applyTo(m_engine.params());
    reflowAll();
    return true;
}

bool ReadingModel::narrowPage()
{
    if (!m_geometry.narrowPage())
        return false;
    m_geometry.applyTo(m_engine.params());
    reflowAll();
    return true;
}

void ReadingModel::setTextSize(int size)
{
    m_engine.params().textSize = size;
    reflowAll();
}

bool ReadingModel::setCaretParagraphFace(std::u16string face)
{
    const std::size_t index = m_caret.position.paragraph;
    if (index >= m_document.paragraphs.size() || !m_document.paragraphs[index].isText())
        return false;
    ParagraphBox& paragraph = m_document.paragraphs[index];
    if (paragraph.fontFace == face)
        return false;
    beginEdit(index, index + 1, ChangeKind::Other);
    paragraph.fontFace = std::move(face);
    m_document.modified = true;
    commitEdit(true);
    reflowAll();
    return true;
}

ReadingModel::ChunkProperties ReadingModel::caretChunk() const
{
    const std::size_t index = m_caret.position.paragraph;
    if (index >= m_document.paragraphs.size())
        return {};
    const ParagraphBox& paragraph = m_document.paragraphs[index];
    if (!paragraph.isText())
        return {library::ChunkKind::Image, paragraph.pictureHeight};
    const auto& params = m_engine.params();
    return {library::ChunkKind::CharacterData, paragraph.isCode() ? params.codeSize : params.textSize};
}

bool ReadingModel::setCaretChunkSize(int size)
{
    const ChunkProperties chunk = caretChunk();
    if (!library::chunkSizeEditable(chunk.kind) || chunk.size == size || size < 0)
        return false;
    const std::size_t index = m_caret.position.paragraph;
    beginEdit(index, index + 1, ChangeKind::Other);
    m_document.paragraphs[index].pictureHeight = size;
    m_document.modified = true;
    commitEdit(true);
    reflowAll();
    return true;
}

void ReadingModel::setCodeSize(int size)
{
    m_engine.params().codeSize = size;
    reflowAll();
}

void ReadingModel::setLineStartRule(LineStartRule rule)
{
    m_engine.params().lineStart = rule;
    reflowAll();
}

void ReadingModel::setRowSpacing(int spacing)
{
    m_engine.params().rowSpacing = spacing;
    layoutAll();
}

void ReadingModel::setParagraphSpacing(int spacing)
{
    m_engine.params().paragraphSpacing = spacing;
    layoutAll();
}

void ReadingModel::layoutAll()
{
    m_engine.layoutDocument(m_document);
    if (m_mode == DisplayMode::Paragraph)
        showParagraph(m_shownParagraph);
    updateScrollRange();
}

void ReadingModel::reflowAll()
{
    m_engine.reflow(m_document);
    if (m_mode == DisplayMode::Paragraph)
        showParagraph(m_shownParagraph);
    updateScrollRange();
}

void ReadingModel::setDisplayMode(DisplayMode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    if (mode == DisplayMode::Paragraph)
        showParagraph(m_caret.position.paragraph);
    else
        layoutAll();
    updateScrollRange();
}

void ReadingModel::showParagraph(std::size_t index)
{
    if (m_document.paragraphs.empty())
        return;
    m_shownParagraph = std::min(index, m_document.paragraphs.size() - 1);
    if (m_mode == DisplayMode::Paragraph)
        m_engine.placeForParagraphMode(m_document.paragraphs[m_shownParagraph], m_geometry.area().height);
}

ScrollSize ReadingModel::scrollSize() const
{
    if (m_mode == DisplayMode::Paragraph)
        return {m_geometry.area().width, m_geometry.area().height};
    return m_engine.scrollSize(m_document, m_geometry.area().width);
}

void ReadingModel::updateScrollRange()
{
    m_scroll.setRange(scrollSize().height, m_geometry.area().height);
}

void ReadingModel::wheel(int delta)
{
    if (m_mode != DisplayMode::Paragraph) {
        m_scroll.wheel(delta);
        return;
    }
    if (m_document.paragraphs.empty())
        return;
    // A paragraph per notch (120 units), however finely a touchpad splits it.
    m_wheelRest += delta;
    const int steps = m_wheelRest / ScrollState::kWheelNotch;
    m_wheelRest -= steps * ScrollState::kWheelNotch;
    std::size_t next = m_shownParagraph;
    const std::size_t last = m_document.paragraphs.size() - 1;
    if (steps > 0)
        next -= std::min(next, static_cast<std::size_t>(steps));
    else if (steps < 0)
        next = std::min(last, next + static_cast<std::size_t>(-steps));
    if (next == m_shownParagraph)
        return;
    showParagraph(next);
    editor().setCaret({next, 0, 0});
}

int ReadingModel::pageTop() const
{
    return m_mode == DisplayMode::Paragraph ? 0 : m_scroll.position();
}

bool ReadingModel::keepInView(int y)
{
    if (m_mode == DisplayMode::Paragraph)
        return false;
    const auto target = view::keepInView(y, m_scroll.position(), m_geometry.area().height, scrollSize().height);
    if (!target)
        return false;
    const int before = m_scroll.position();
    m_scroll.scrollTo(*target);
    return m_scroll.position() != before;
}

std::vector<VisibleParagraph> ReadingModel::paragraphsToPaint(StripVisibility topStrip, StripVisibility bottomStrip)
{
    const VisibleBand band =
        visibleBand(pageTop(), m_geometry.area().height, m_engine.params().topMargin, topStrip, bottomStrip);
    if (m_mode == DisplayMode::WholeChapter)
        return visibleParagraphs(m_document, band, m_firstVisible, pageTop());
    if (m_document.paragraphs.empty())
        return {};
    const auto& lines = m_document.paragraphs[m_shownParagraph].lines;
    VisibleParagraph entry{m_shownParagraph, 0, 0};
    std::size_t l = 0;
    while (l < lines.size() && !lineInBand(lines[l], band) && !lineBelowBand(lines[l], band))
        ++l;
    entry.firstLine = entry.endLine = l;
    while (entry.endLine < lines.size() && lineInBand(lines[entry.endLine], band))
        ++entry.endLine;
    return {entry};
}

TextPosition ReadingModel::positionAtWidget(double x, double y) const
{
    if (m_mode == DisplayMode::Paragraph)
        return positionInParagraph(m_document, m_shownParagraph, x, y);
    return positionAt(m_document, x, y + pageTop());
}

void ReadingModel::clickAt(double x, double y)
{
    Editor edit = editor();
    edit.clearSelection();
    edit.setCaret(positionAtWidget(x, y));
    m_anchor = m_caret.position;
    m_history.breakTyping();
}

void ReadingModel::dragTo(double x, double y)
{
    const TextPosition to = positionAtWidget(x, y);
    Editor edit = editor();
    edit.selectRange(m_anchor, to);
    edit.setCaret(to);
}

void ReadingModel::afterEdit(const EditResult& result)
{
    if (!result.changed)
        return;
    if (m_mode == DisplayMode::Paragraph)
        showParagraph(m_caret.position.paragraph);
    updateScrollRange();
}

void ReadingModel::beginEdit(std::size_t first, std::size_t end, ChangeKind kind)
{
    m_history.begin(m_document, first, end, logicalPositionOf(m_document, m_caret.position), kind);
}

void ReadingModel::commitEdit(bool changed)
{
    m_history.commit(m_document, logicalPositionOf(m_document, m_caret.position), changed);
}

std::pair<std::size_t, std::size_t> ReadingModel::selectionParagraphs() const
{
    // A selected paragraph end joins the paragraph after it.
    const std::size_t count = m_document.paragraphs.size();
    const std::size_t first = std::min(m_document.selectionBegin, count);
    return {first, std::min(std::max(m_document.selectionEnd, first) + 1, count)};
}

void ReadingModel::beginChange(std::size_t first, std::size_t end)
{
    beginEdit(first, end, ChangeKind::Other);
}

void ReadingModel::endChange()
{
    m_history.commitIfDifferent(m_document, logicalPositionOf(m_document, m_caret.position));
}

Status ReadingModel::typeCharacter(char16_t ch, char16_t low)
{
    Editor edit = editor();
    const std::size_t p = caretParagraphOf(m_document, m_caret);
    beginEdit(p, p + 1, ch == u'\r' ? ChangeKind::Other : ChangeKind::Typing);
    auto result = edit.typeCharacter(ch, low);
    commitEdit(result && result->changed);
    edit.clearSelection();
    if (!result)
        return result.error();
    afterEdit(*result);
    return {};
}

bool ReadingModel::undo()
{
    editor().clearSelection();
    const auto caret = m_history.undo(m_document, m_engine);
    afterHistoryMove(caret);
    return caret.has_value();
}

bool ReadingModel::redo()
{
    editor().clearSelection();
    const auto caret = m_history.redo(m_document, m_engine);
    afterHistoryMove(caret);
    return caret.has_value();
}

void ReadingModel::replaceContent(const library::Chapter& chapter)
{
    editor().clearSelection();
    beginEdit(0, m_document.paragraphs.size(), ChangeKind::Other);
    LayoutDocument next = documentFromChapter(chapter, m_engine, m_document.nextParagraphId);
    m_document.paragraphs = std::move(next.paragraphs);
    m_document.height = next.height;
    m_document.nextParagraphId = next.nextParagraphId;
    m_document.selectionBegin = m_document.selectionEnd = 0;
    m_caret.position = {std::min(m_caret.position.paragraph, m_document.paragraphs.size() - 1), 0, 0};
    commitEdit(true);
    m_document.modified = true;
    if (m_mode == DisplayMode::Paragraph)
        showParagraph(m_caret.position.paragraph);
    updateScrollRange();
}

void ReadingModel::afterHistoryMove(std::optional<LogicalPosition> caret)
{
    if (!caret)
        return;
    m_caret.position = textPositionOf(m_document, *caret);
    m_caret.column.reset();
    m_anchor = m_caret.position;
    if (m_mode == DisplayMode::Paragraph)
        showParagraph(m_caret.position.paragraph);
    updateScrollRange();
}

Status ReadingModel::pressKey(EditKey key)
{
    Editor edit = editor();
    Status status;
    switch (key) {
    case EditKey::Left: edit.moveCaret(CaretMove::Left); break;
    case EditKey::Right: edit.moveCaret(CaretMove::Right); break;
    case EditKey::Up: edit.moveCaret(CaretMove::Up); break;
    case EditKey::Down: edit.moveCaret(CaretMove::Down); break;
    case EditKey::Backspace: {
        const std::size_t p = caretParagraphOf(m_document, m_caret);
        const bool atStart = logicalPositionOf(m_document, m_caret.position).offset == 0;
        if (edit.hasSelection()) {
            const auto [first, end] = selectionParagraphs();
            beginEdit(first, end, ChangeKind::Other);
        } else if (atStart) {
            beginEdit(p == 0 ? 0 : p - 1, p + 1, ChangeKind::Other);
        } else {
            beginEdit(p, p + 1, ChangeKind::Typing);
        }
        const EditResult result = edit.backspace();
        commitEdit(result.changed);
        afterEdit(result);
        break;
    }
    case EditKey::Delete: {
        const auto [first, end] = selectionParagraphs();
        beginEdit(first, end, ChangeKind::Other);
        const EditResult result = edit.deleteKey();
        commitEdit(result.changed);
        afterEdit(result);
        break;
    }
    case EditKey::Tab: status = typeCharacter(u'\t'); break;
    case EditKey::Enter: {
        status = typeCharacter(u'\r');
        const auto& position = m_caret.position;
        const auto& lines = m_document.paragraphs[position.paragraph].lines;
        const int bottom = lines.empty() ? m_document.paragraphs[position.paragraph].bottom
                                         : lines[position.line].bottom;
        // A new paragraph below the window brings the view down by 150 pixels.
        if (status && m_mode == DisplayMode::WholeChapter && bottom > pageTop() + m_geometry.area().height)
            m_scroll.scrollBy(150);
        break;
    }
    }
    if (key == EditKey::Left || key == EditKey::Right || key == EditKey::Up || key == EditKey::Down)
        m_history.breakTyping();
    if (m_mode == DisplayMode::Paragraph && m_caret.position.paragraph != m_shownParagraph)
        showParagraph(m_caret.position.paragraph);
    edit.clearSelection();
    return status;
}

std::u16string ReadingModel::copy()
{
    return editor().copySelection();
}

std::u16string ReadingModel::cut()
{
    Editor edit = editor();
    std::u16string text = edit.copySelection();
    const auto [first, end] = selectionParagraphs();
    beginEdit(first, end, ChangeKind::Other);
    const EditResult result = edit.deleteSelection();
    commitEdit(result.changed);
    afterEdit(result);
    return text;
}

Status ReadingModel::paste(std::u16string_view text)
{
    const std::size_t p = caretParagraphOf(m_document, m_caret);
    beginEdit(p, p + 1, ChangeKind::Other);
    auto result = editor().paste(text);
    commitEdit(result && result->changed);
    if (!result)
        return result.error();
    afterEdit(*result);
    return {};
}

WordCount ReadingModel::wordCount()
{
    return editor().wordCount();
}

}  // namespace veyla::view
