// SPDX-License-Identifier: MIT
// Caret movement and hit testing of the Editor.
#include <algorithm>

#include "core/view/editor.h"

namespace veyla::view {

namespace {

std::size_t glyphNearest(const TextLine& line, double x)
{
    for (std::size_t i = 0; i < line.glyphs.size(); ++i)
        if ((line.glyphs[i].left + line.glyphs[i].right) / 2 > x)
            return i;
    return line.glyphs.size() - 1;
}

TextPosition lastPositionOf(const LayoutDocument& document, std::size_t p)
{
    const auto& lines = document.paragraphs[p].lines;
    if (lines.empty())
        return {p, 0, 0};
    return {p, lines.size() - 1, lines.back().glyphs.size() - 1};
}

}  // namespace

void Editor::setCaret(TextPosition position)
{
    m_caret.position = position;
    m_caret.column.reset();
    clampCaret();
}

double Editor::caretX() const
{
    const auto& position = m_caret.position;
    if (position.paragraph >= m_document.paragraphs.size())
        return 0;
    const auto& paragraph = m_document.paragraphs[position.paragraph];
    if (paragraph.lines.empty())
        return paragraph.left;
    const auto& line = paragraph.lines[std::min(position.line, paragraph.lines.size() - 1)];
    return line.glyphs[std::min(position.glyph, line.glyphs.size() - 1)].left;
}

bool Editor::moveCaret(CaretMove move)
{
    clampCaret();
    if (m_document.paragraphs.empty())
        return false;
    if (move == CaretMove::Left || move == CaretMove::Right) {
        m_caret.column.reset();
        return moveHorizontally(move);
    }
    return moveVertically(move);
}

bool Editor::moveHorizontally(CaretMove move)
{
    auto& position = m_caret.position;
    const auto& paragraph = m_document.paragraphs[position.paragraph];
    const bool text = paragraph.isText();
    if (move == CaretMove::Left) {
        if (text && position.glyph > 0) {
            --position.glyph;
        } else if (text && position.line > 0) {
            --position.line;
            position.glyph = paragraph.lines[position.line].glyphs.size() - 1;
        } else if (position.paragraph > 0) {
            position = lastPositionOf(m_document, position.paragraph - 1);
        } else {
            return false;
        }
        return true;
    }
    if (text && position.glyph + 1 < paragraph.lines[position.line].glyphs.size()) {
        ++position.glyph;
    } else if (text && position.line + 1 < paragraph.lines.size()) {
        ++position.line;
        position.glyph = 0;
    } else if (position.paragraph + 1 < m_document.paragraphs.size()) {
        position = {position.paragraph + 1, 0, 0};
    } else {
        return false;
    }
    return true;
}

bool Editor::moveVertically(CaretMove move)
{
    auto& position = m_caret.position;
    const double x = m_caret.column ? *m_caret.column : caretX();
    const auto& paragraphs = m_document.paragraphs;
    const bool text = paragraphs[position.paragraph].isText();
    TextPosition target = position;
    if (move == CaretMove::Up) {
        if (text && position.line > 0)
            --target.line;
        else if (position.paragraph > 0)
            target = lastPositionOf(m_document, position.paragraph - 1);
        else
            return false;
    } else {
        if (text && position.line + 1 < paragraphs[position.paragraph].lines.size())
            ++target.line;
        else if (position.paragraph + 1 < paragraphs.size())
            target = {position.paragraph + 1, 0, 0};
        else
            return false;
    }
    const auto& lines = paragraphs[target.paragraph].lines;
    target.glyph = lines.empty() ? 0 : glyphNearest(lines[target.line], x);
    position = target;
    m_caret.column = x;
    return true;
}

TextPosition positionAt(const LayoutDocument& document, double x, double y)
{
    const auto& paragraphs = document.paragraphs;
    if (paragraphs.empty())
        return {};
    const auto after = std::upper_bound(paragraphs.begin(), paragraphs.end(), y,
                                        [](double value, const ParagraphBox& box) { return value < box.top; });
    const std::size_t p = after == paragraphs.begin() ? 0 : static_cast<std::size_t>(after - paragraphs.begin()) - 1;
    return positionInParagraph(document, p, x, y);
}

TextPosition positionInParagraph(const LayoutDocument& document, std::size_t p, double x, double y)
{
    const auto& paragraphs = document.paragraphs;
    if (paragraphs.empty())
        return {};
    p = std::min(p, paragraphs.size() - 1);
    const auto& lines = paragraphs[p].lines;
    if (lines.empty())
        return {p, 0, 0};
    std::size_t line = 0;
    while (line + 1 < lines.size() && lines[line + 1].top <= y)
        ++line;
    return {p, line, glyphNearest(lines[line], x)};
}

}  // namespace veyla::view
