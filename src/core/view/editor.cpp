// SPDX-License-Identifier: MIT
#include "core/view/editor.h"

#include <algorithm>

#include "core/util/utf16.h"

namespace veyla::view {

namespace {

Error notTextBox()
{
    return Error{ErrorCode::NotTextBox, "the caret is not on a text line"};
}

}  // namespace

void Editor::clampCaret()
{
    auto& position = m_caret.position;
    auto& paragraphs = m_document.paragraphs;
    if (paragraphs.empty()) {
        position = {};
        return;
    }
    position.paragraph = std::min(position.paragraph, paragraphs.size() - 1);
    const auto& lines = paragraphs[position.paragraph].lines;
    if (lines.empty()) {
        position.line = position.glyph = 0;
        return;
    }
    position.line = std::min(position.line, lines.size() - 1);
    position.glyph = std::min(position.glyph, lines[position.line].glyphs.size() - 1);
}

void Editor::placeCaretAtOffset(std::size_t paragraph, std::size_t offset)
{
    const auto [line, glyph] = positionOfOffset(m_document.paragraphs[paragraph], offset);
    m_caret.position = {paragraph, line, glyph};
    m_caret.column.reset();
}

EditResult Editor::finish(std::size_t first, std::size_t count)
{
    m_document.modified = true;
    // Paragraphs may have moved: a remaining selection can be anywhere from the first one changed.
    if (m_document.selectionBegin < m_document.selectionEnd) {
        m_document.selectionBegin = std::min(m_document.selectionBegin, first);
        m_document.selectionEnd = m_document.paragraphs.size();
    }
    if (m_deferLayout) {
        m_pendingFirst = std::min(m_pendingFirst, first);
        return {true, first};
    }
    m_engine.relayoutParagraphs(m_document, first, count);
    return {true, first};
}

EditResult Editor::insertGlyphs(std::vector<GlyphNode> glyphs)
{
    if (glyphs.empty())
        return {};
    const std::size_t p = m_caret.position.paragraph;
    ParagraphBox& paragraph = caretParagraph();
    const std::size_t offset = logicalOffset(paragraph, m_caret.position.line, m_caret.position.glyph);
    std::vector<GlyphNode> logical = m_engine.logicalGlyphs(paragraph);
    logical.insert(logical.begin() + static_cast<std::ptrdiff_t>(offset), glyphs.begin(), glyphs.end());
    m_engine.setContent(paragraph, std::move(logical));
    placeCaretAtOffset(p, offset + glyphs.size());
    return finish(p, 1);
}

Result<EditResult> Editor::typeCharacter(char16_t ch, char16_t low)
{
    clampCaret();
    if (m_document.paragraphs.empty() || !caretParagraph().isText())
        return notTextBox();
    if (ch == u'\b' || ch == u'\n')
        return EditResult{};
    ++m_document.typedCount;
    if (ch == u'\r')
        return insertLineBreak();
    return insertGlyphs({glyphFor(ch, low)});
}

Result<EditResult> Editor::insertLineBreak()
{
    clampCaret();
    if (m_document.paragraphs.empty() || !caretParagraph().isText())
        return notTextBox();
    const std::size_t p = m_caret.position.paragraph;
    ParagraphBox& paragraph = caretParagraph();
    const std::size_t line = m_caret.position.line;
    if (!paragraph.isCode() || line + 1 >= paragraph.lines.size())
        return splitParagraph();

    // A new code line indented like the line the caret is on.
    std::size_t first = line;
    while (first > 0 && paragraph.lines[first].continuation)
        --first;
    std::vector<GlyphNode> logical = m_engine.logicalGlyphs(paragraph);
    const std::size_t offset = logicalOffset(paragraph, line, m_caret.position.glyph);
    std::size_t spaces = 0;
    for (std::size_t i = logicalOffset(paragraph, first, 0); i < logical.size() && logical[i].ch == u' '; ++i)
        ++spaces;
    std::vector<GlyphNode> inserted(1, lineEndGlyph());
    inserted.insert(inserted.end(), spaces, glyphFor(u' '));
    logical.insert(logical.begin() + static_cast<std::ptrdiff_t>(offset), inserted.begin(), inserted.end());
    m_engine.setContent(paragraph, std::move(logical));
    placeCaretAtOffset(p, offset + inserted.size());
    return finish(p, 1);
}

EditResult Editor::splitParagraph()
{
    const std::size_t p = m_caret.position.paragraph;
    ParagraphBox& paragraph = caretParagraph();
    const std::size_t offset = logicalOffset(paragraph, m_caret.position.line, m_caret.position.glyph);
    std::vector<GlyphNode> logical = m_engine.logicalGlyphs(paragraph);
    std::vector<GlyphNode> tail(logical.begin() + static_cast<std::ptrdiff_t>(offset), logical.end());
    logical.resize(offset);
    // The new paragraph takes the attributes, not a copy of the lines about to be replaced.
    ParagraphBox next;
    {
        std::vector<TextLine> lines = std::move(paragraph.lines);
        next = paragraph;
        paragraph.lines = std::move(lines);
    }
    next.id = m_document.newParagraphId();
    m_engine.setContent(paragraph, std::move(logical));
    m_engine.setContent(next, std::move(tail));
    m_document.paragraphs.insert(m_document.paragraphs.begin() + static_cast<std::ptrdiff_t>(p + 1), std::move(next));
    m_caret.position = {p + 1, 0, 0};
    m_caret.column.reset();
    return finish(p, 2);
}

EditResult Editor::joinWithPrevious()
{
    const std::size_t p = m_caret.position.paragraph;
    if (p == 0)
        return {};
    auto& paragraphs = m_document.paragraphs;
    ParagraphBox& previous = paragraphs[p - 1];
    ParagraphBox& current = paragraphs[p];
    const auto erase = [&](std::size_t index) {
        paragraphs.erase(paragraphs.begin() + static_cast<std::ptrdiff_t>(index));
    };
    if (!previous.isText()) {
        erase(p - 1);
        m_caret.position.paragraph = p - 1;
        return finish(p - 1, 1);
    }
    if (current.isText() && logicalLength(current) == 0) {
        erase(p);
        placeCaretAtOffset(p - 1, logicalLength(paragraphs[p - 1]));
        return finish(p - 1, 1);
    }
    if (!current.isText() || previous.isCode() != current.isCode())
        return {};
    std::vector<GlyphNode> logical = m_engine.logicalGlyphs(previous);
    const std::size_t joint = logical.size();
    std::vector<GlyphNode> tail = m_engine.logicalGlyphs(current);
    logical.insert(logical.end(), tail.begin(), tail.end());
    m_engine.setContent(previous, std::move(logical));
    erase(p);
    placeCaretAtOffset(p - 1, joint);
    return finish(p - 1, 1);
}

EditResult Editor::backspace()
{
    clampCaret();
    if (m_document.paragraphs.empty())
        return {};
    if (hasSelection())
        return deleteSelection();
    ParagraphBox& paragraph = caretParagraph();
    if (!paragraph.isText())
        return {};
    const std::size_t offset = logicalOffset(paragraph, m_caret.position.line, m_caret.position.glyph);
    if (offset == 0)
        return joinWithPrevious();
    std::vector<GlyphNode> logical = m_engine.logicalGlyphs(paragraph);
    logical.erase(logical.begin() + static_cast<std::ptrdiff_t>(offset - 1));
    m_engine.setContent(paragraph, std::move(logical));
    placeCaretAtOffset(m_caret.position.paragraph, offset - 1);
    return finish(m_caret.position.paragraph, 1);
}

EditResult Editor::deleteKey()
{
    return deleteSelection();
}

Result<EditResult> Editor::paste(std::u16string_view text)
{
    clampCaret();
    if (m_document.paragraphs.empty() || !caretParagraph().isText())
        return notTextBox();
    m_deferLayout = true;
    m_pendingFirst = m_caret.position.paragraph;
    std::vector<GlyphNode> pending;
    EditResult result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        if (ch == u'\u00AC' || ch == u'\b')
            continue;
        // "\r\n", "\r" and "\n" each end a line: text copied from Linux programs has line feeds only.
        if (ch == u'\n' && i > 0 && text[i - 1] == u'\r')
            continue;
        if (ch == u'\r' || ch == u'\n') {
            result.changed |= insertGlyphs(std::move(pending)).changed;
            pending.clear();
            result.changed |= insertLineBreak()->changed;
            continue;
        }
        GlyphNode glyph = glyphFor(ch);
        if (utf16::isHighSurrogate(ch) && i + 1 < text.size() && utf16::isLowSurrogate(text[i + 1]))
            glyph.low = text[++i];
        pending.push_back(glyph);
    }
    result.changed |= insertGlyphs(std::move(pending)).changed;
    m_deferLayout = false;
    result.firstParagraph = m_pendingFirst;
    if (result.changed)
        m_engine.relayoutParagraphs(m_document, m_pendingFirst, m_caret.position.paragraph - m_pendingFirst + 1);
    return result;
}

}  // namespace veyla::view
