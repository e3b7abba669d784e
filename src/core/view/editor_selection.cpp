// SPDX-License-Identifier: MIT
// The glyph selection, copying, deleting the selection and the word count of the Editor.
#include <algorithm>

#include "core/view/editor.h"

namespace veyla::view {

namespace {

// Calls visit(position, glyph) for every glyph from `from` up to `to` (exclusive).
template <typename Document, typename Visit>
void forEachGlyph(Document& document, TextPosition from, TextPosition to, Visit visit)
{
    auto& paragraphs = document.paragraphs;
    for (std::size_t p = from.paragraph; p < paragraphs.size() && p <= to.paragraph; ++p) {
        auto& lines = paragraphs[p].lines;
        const std::size_t firstLine = p == from.paragraph ? from.line : 0;
        for (std::size_t l = firstLine; l < lines.size(); ++l) {
            if (p == to.paragraph && l > to.line)
                return;
            auto& glyphs = lines[l].glyphs;
            const std::size_t first = (p == from.paragraph && l == from.line) ? from.glyph : 0;
            const std::size_t end = (p == to.paragraph && l == to.line) ? std::min(to.glyph, glyphs.size())
                                                                        : glyphs.size();
            for (std::size_t g = first; g < end; ++g)
                visit(TextPosition{p, l, g}, glyphs[g]);
        }
    }
}

TextPosition documentEnd(const LayoutDocument& document)
{
    return {document.paragraphs.size(), 0, 0};
}

bool isHardLineEnd(const ParagraphBox& paragraph, std::size_t line)
{
    return line + 1 >= paragraph.lines.size() || !paragraph.lines[line + 1].continuation;
}

bool paragraphHasSelection(const ParagraphBox& paragraph)
{
    for (const auto& line : paragraph.lines)
        for (const auto& glyph : line.glyphs)
            if (glyph.selected)
                return true;
    return false;
}

bool paragraphEndSelected(const ParagraphBox& paragraph)
{
    return !paragraph.lines.empty() && paragraph.lines.back().glyphs.back().selected;
}

// The logical offset of the paragraph's first selected glyph (it has one).
std::size_t firstSelectedOffset(const ParagraphBox& paragraph)
{
    for (std::size_t l = 0; l < paragraph.lines.size(); ++l)
        for (std::size_t g = 0; g < paragraph.lines[l].glyphs.size(); ++g)
            if (paragraph.lines[l].glyphs[g].selected)
                return logicalOffset(paragraph, l, g);
    return 0;
}

}  // namespace

void Editor::selectRange(TextPosition a, TextPosition b)
{
    clearSelection();
    if (b < a)
        std::swap(a, b);
    forEachGlyph(m_document, a, b, [](TextPosition, GlyphNode& glyph) { glyph.selected = true; });
    m_document.selectionBegin = a.paragraph;
    m_document.selectionEnd = std::min(b.paragraph + 1, m_document.paragraphs.size());
}

void Editor::selectAll()
{
    forEachGlyph(m_document, TextPosition{}, documentEnd(m_document),
                 [](TextPosition, GlyphNode& glyph) { glyph.selected = true; });
    m_document.selectionBegin = 0;
    m_document.selectionEnd = m_document.paragraphs.size();
}

void Editor::clearSelection()
{
    const std::size_t end = std::min(m_document.selectionEnd, m_document.paragraphs.size());
    for (std::size_t p = m_document.selectionBegin; p < end; ++p)
        for (auto& line : m_document.paragraphs[p].lines)
            for (auto& glyph : line.glyphs)
                glyph.selected = false;
    m_document.selectionBegin = m_document.selectionEnd = 0;
}

bool Editor::hasSelection() const
{
    const std::size_t end = std::min(m_document.selectionEnd, m_document.paragraphs.size());
    for (std::size_t p = m_document.selectionBegin; p < end; ++p)
        if (paragraphHasSelection(m_document.paragraphs[p]))
            return true;
    return false;
}

std::vector<TextPosition> Editor::selectedPositions() const
{
    std::vector<TextPosition> positions;
    if (m_document.selectionBegin >= m_document.selectionEnd)
        return positions;
    forEachGlyph(m_document, TextPosition{m_document.selectionBegin, 0, 0}, TextPosition{m_document.selectionEnd, 0, 0},
                 [&](TextPosition at, const GlyphNode& glyph) {
                     if (glyph.selected)
                         positions.push_back(at);
                 });
    return positions;
}

std::u16string Editor::copySelection() const
{
    const std::vector<TextPosition> selected = selectedPositions();
    std::u16string text;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        const TextPosition at = selected[i];
        const ParagraphBox& paragraph = m_document.paragraphs[at.paragraph];
        const GlyphNode& glyph = paragraph.lines[at.line].glyphs[at.glyph];
        if (!glyph.isLineEnd())
            text += glyph.text();
        else if (paragraph.isCode() && isHardLineEnd(paragraph, at.line))
            text += u"\r\n";
        const bool nextInOtherParagraph = i + 1 < selected.size() && selected[i + 1].paragraph != at.paragraph;
        const bool separated = text.size() >= 2 && text.compare(text.size() - 2, 2, u"\r\n") == 0;
        if (nextInOtherParagraph && (!paragraph.isCode() || !separated))
            text += u"\r\n";
    }
    return text;
}

std::u16string Editor::cutSelection()
{
    std::u16string text = copySelection();
    deleteSelection();
    return text;
}

EditResult Editor::deleteSelection()
{
    auto& paragraphs = m_document.paragraphs;
    std::size_t first = paragraphs.size();
    for (std::size_t p = m_document.selectionBegin; p < std::min(m_document.selectionEnd, paragraphs.size()); ++p)
        if (paragraphHasSelection(paragraphs[p])) {
            first = p;
            break;
        }
    if (first == paragraphs.size())
        return {};

    const auto kept = [&](const ParagraphBox& paragraph) {
        std::vector<GlyphNode> logical = m_engine.logicalGlyphs(paragraph);
        logical.erase(std::remove_if(logical.begin(), logical.end(), [](const GlyphNode& g) { return g.selected; }),
                      logical.end());
        return logical;
    };
    // The caret goes where the first selected glyph was.
    const std::size_t caretOffset = firstSelectedOffset(paragraphs[first]);

    std::vector<ParagraphBox> result(std::make_move_iterator(paragraphs.begin()),
                                     std::make_move_iterator(paragraphs.begin() + static_cast<std::ptrdiff_t>(first)));
    const std::size_t selectionEnd = std::min(m_document.selectionEnd, paragraphs.size());
    for (std::size_t p = first; p < paragraphs.size(); ++p) {
        ParagraphBox& paragraph = paragraphs[p];
        if (p >= selectionEnd || !paragraph.isText() || !paragraphHasSelection(paragraph)) {
            result.push_back(std::move(paragraph));
            continue;
        }
        std::vector<GlyphNode> logical = kept(paragraph);
        // A selected paragraph end joins the next paragraph of the same kind.
        while (paragraphEndSelected(paragraphs[p]) && p + 1 < paragraphs.size() && paragraphs[p + 1].isText() &&
               paragraphs[p + 1].isCode() == paragraph.isCode()) {
            ++p;
            std::vector<GlyphNode> tail = kept(paragraphs[p]);
            logical.insert(logical.end(), tail.begin(), tail.end());
        }
        m_engine.setContent(paragraph, std::move(logical));
        result.push_back(std::move(paragraph));
    }
    paragraphs = std::move(result);
    clearSelection();
    placeCaretAtOffset(first, caretOffset);
    return finish(first, paragraphs.size() - first);
}

WordCount Editor::wordCount() const
{
    WordCount count;
    for (const auto& paragraph : m_document.paragraphs)
        for (const auto& line : paragraph.lines)
            for (const auto& glyph : line.glyphs) {
                const char16_t ch = glyph.ch;
                if (ch >= u'\u4E00' && ch <= u'\u9FA5')
                    ++count.hanzi;
                if (ch != u'\r' && ch != u' ' && ch != u'\u3000')
                    ++count.all;
            }
    return count;
}

}  // namespace veyla::view
