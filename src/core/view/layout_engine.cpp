// SPDX-License-Identifier: MIT
#include "core/view/layout_engine.h"

#include <algorithm>

namespace veyla::view {

double LayoutEngine::glyphAdvance(char16_t ch, double size, int spacingPercent)
{
    return (spacingPercent / 100.0 + (ch >= 256 ? 1.0 : 0.5)) * size;
}

double LayoutEngine::advance(const GlyphNode& glyph, const ParagraphBox& paragraph) const
{
    const bool ownSize = paragraph.isCode() || m_params.textSize < 9;
    return glyphAdvance(glyph.ch, ownSize ? glyph.size : m_params.textSize, paragraph.characterSpacing);
}

int LayoutEngine::lineSize(const ParagraphBox& paragraph) const
{
    return paragraph.isCode() ? m_params.codeSize : m_params.textSize;
}

double LayoutEngine::measureLine(const TextLine& line, const ParagraphBox& paragraph) const
{
    double sum = 0;
    for (const auto& glyph : line.glyphs)
        sum += advance(glyph, paragraph);
    return sum + 2;
}

bool LayoutEngine::lineIsFull(double width, bool firstLineOfParagraph) const
{
    // The first line keeps room for the indent, as the breaking rule measures it for every paragraph.
    const double indent = firstLineOfParagraph ? double(m_params.textSize) * m_params.indentCount : 0.0;
    return width + indent > m_params.pageWidth;
}

std::vector<GlyphNode> LayoutEngine::logicalGlyphs(const ParagraphBox& paragraph) const
{
    std::vector<GlyphNode> logical;
    std::size_t total = 0;
    for (const auto& line : paragraph.lines)
        total += line.glyphs.size();
    logical.reserve(total);
    for (std::size_t i = 0; i < paragraph.lines.size(); ++i) {
        const auto& glyphs = paragraph.lines[i].glyphs;
        logical.insert(logical.end(), glyphs.begin(), glyphs.end() - 1);
        const bool hardBreak = i + 1 < paragraph.lines.size() && !paragraph.lines[i + 1].continuation;
        if (hardBreak)
            logical.push_back(glyphs.back());
    }
    return logical;
}

void LayoutEngine::breakHardLine(ParagraphBox& paragraph, const GlyphNode* begin, const GlyphNode* end,
                                 const GlyphNode& lineEnd) const
{
    const int size = lineSize(paragraph);
    GlyphNode softEnd = lineEndGlyph();
    softEnd.size = size;
    const double endAdvance = advance(softEnd, paragraph) + 2;

    TextLine line;
    line.continuation = false;
    line.glyphs.reserve(std::min<std::size_t>(static_cast<std::size_t>(end - begin) + 1,
                                              static_cast<std::size_t>(2 * m_params.pageWidth / std::max(size, 1) + 2)));
    double width = endAdvance;
    for (const GlyphNode* glyph = begin; glyph != end; ++glyph) {
        if (!line.glyphs.empty() && lineIsFull(width, paragraph.lines.empty())) {
            line.glyphs.push_back(softEnd);
            const std::size_t capacity = line.glyphs.capacity();
            paragraph.lines.push_back(std::move(line));
            line = TextLine{};
            line.continuation = true;
            line.glyphs.reserve(capacity);
            width = endAdvance;
        }
        line.glyphs.push_back(*glyph);
        width += advance(*glyph, paragraph);
    }
    GlyphNode end0 = lineEnd;
    end0.ch = u'\r';
    end0.low = 0;
    end0.size = size;
    line.glyphs.push_back(end0);
    paragraph.lines.push_back(std::move(line));
}

void LayoutEngine::setContent(ParagraphBox& paragraph, std::vector<GlyphNode> logical) const
{
    paragraph.lines.clear();
    if (!paragraph.isText())
        return;
    const int size = lineSize(paragraph);
    for (auto& glyph : logical)
        glyph.size = size;
    const GlyphNode* begin = logical.data();
    const GlyphNode* end = begin + logical.size();
    const GlyphNode* start = begin;
    for (const GlyphNode* glyph = begin;; ++glyph) {
        if (glyph == end) {
            breakHardLine(paragraph, start, end, lineEndGlyph());
            break;
        }
        if (glyph->ch == u'\r') {
            breakHardLine(paragraph, start, glyph, *glyph);
            start = glyph + 1;
        }
    }
}

int LayoutEngine::layoutParagraph(ParagraphBox& paragraph, int top) const
{
    paragraph.left = m_params.leftMargin;
    paragraph.top = top;
    int y = top;
    int widest = 0;
    if (!paragraph.isText())
        y += paragraph.pictureHeight;
    const double indent = paragraph.isCode() ? 0.0 : double(m_params.textSize) * m_params.indentCount;
    for (std::size_t i = 0; i < paragraph.lines.size(); ++i) {
        TextLine& line = paragraph.lines[i];
        line.left = paragraph.left;
        line.top = y;
        double x = line.left + (i == 0 ? indent : 0.0);
        double sum = 0;
        for (auto& glyph : line.glyphs) {
            const double step = advance(glyph, paragraph);
            glyph.left = x;
            glyph.right = x + step;
            glyph.top = y;
            glyph.bottom = y + glyph.size;
            x += step;
            sum += step;
        }
        line.width = static_cast<int>(sum + 2);
        line.right = static_cast<int>(x) + 2;
        const double textHeight = line.glyphs.back().bottom - line.glyphs.front().top;
        line.height = static_cast<int>(std::max(0.0, textHeight)) + m_params.rowSpacing;
        line.bottom = line.top + line.height;
        y = line.bottom;
        widest = std::max(widest, line.right - paragraph.left);
    }
    paragraph.height = (y - top) + m_params.paragraphSpacing;
    paragraph.bottom = top + paragraph.height;
    paragraph.width = widest + 2;
    paragraph.right = paragraph.left + paragraph.width;
    return paragraph.bottom;
}

namespace {

void updateFrame(LayoutDocument& document, const LayoutParams& params)
{
    document.left = params.leftMargin;
    document.top = params.topMargin;
    int widest = 0;
    for (const auto& paragraph : document.paragraphs)
        widest = std::max(widest, paragraph.width);
    document.bottom = document.paragraphs.empty() ? document.top : document.paragraphs.back().bottom;
    document.height = document.bottom - document.top;
    document.width = widest + 2;
    document.right = document.left + document.width;
}

}  // namespace

void LayoutEngine::layoutDocument(LayoutDocument& document) const
{
    int y = m_params.topMargin;
    for (auto& paragraph : document.paragraphs)
        y = layoutParagraph(paragraph, y);
    updateFrame(document, m_params);
}

void LayoutEngine::relayoutParagraphs(LayoutDocument& document, std::size_t first, std::size_t count) const
{
    auto& paragraphs = document.paragraphs;
    first = std::min(first, paragraphs.size());
    const std::size_t last = std::min(first + count, paragraphs.size());
    int y = first == 0 ? m_params.topMargin : paragraphs[first - 1].bottom;
    for (std::size_t i = first; i < last; ++i)
        y = layoutParagraph(paragraphs[i], y);
    if (last < paragraphs.size()) {
        const int dy = y - paragraphs[last].top;
        if (dy != 0)
            for (std::size_t i = last; i < paragraphs.size(); ++i)
                shiftParagraph(paragraphs[i], dy);
    }
    updateFrame(document, m_params);
}

void LayoutEngine::reflow(LayoutDocument& document) const
{
    for (auto& paragraph : document.paragraphs) {
        if (!paragraph.isText())
            continue;
        if (paragraph.isCode()) {
            for (auto& line : paragraph.lines)
                for (auto& glyph : line.glyphs)
                    glyph.size = m_params.codeSize;
        } else {
            setContent(paragraph, logicalGlyphs(paragraph));
        }
    }
    layoutDocument(document);
}

ScrollSize LayoutEngine::scrollSize(const LayoutDocument& document, int clientWidth) const
{
    return {std::max(clientWidth, m_params.leftMargin + m_params.pageWidth + 20),
            document.height + m_params.topMargin + 5};
}

void LayoutEngine::placeForParagraphMode(ParagraphBox& paragraph, int clientHeight) const
{
    layoutParagraph(paragraph, 0);
    const int top = paragraph.height < clientHeight - 100 ? (clientHeight - paragraph.height) / 2 : m_params.topMargin;
    shiftParagraph(paragraph, top);
}

void shiftParagraph(ParagraphBox& paragraph, int dy)
{
    paragraph.top += dy;
    paragraph.bottom += dy;
    for (auto& line : paragraph.lines) {
        line.top += dy;
        line.bottom += dy;
        for (auto& glyph : line.glyphs) {
            glyph.top += dy;
            glyph.bottom += dy;
        }
    }
}

std::size_t logicalOffset(const ParagraphBox& paragraph, std::size_t line, std::size_t glyph)
{
    const auto& lines = paragraph.lines;
    if (lines.empty())
        return 0;
    line = std::min(line, lines.size() - 1);
    std::size_t offset = 0;
    for (std::size_t k = 0; k < line; ++k) {
        offset += lines[k].contentSize();
        if (!lines[k + 1].continuation)
            ++offset;
    }
    return offset + std::min(glyph, lines[line].contentSize());
}

std::pair<std::size_t, std::size_t> positionOfOffset(const ParagraphBox& paragraph, std::size_t offset)
{
    const auto& lines = paragraph.lines;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::size_t content = lines[k].contentSize();
        if (offset <= content)
            return {k, offset};
        offset -= content;
        if (k + 1 < lines.size() && !lines[k + 1].continuation)
            --offset;
    }
    if (lines.empty())
        return {0, 0};
    return {lines.size() - 1, lines.back().contentSize()};
}

std::size_t logicalLength(const ParagraphBox& paragraph)
{
    if (paragraph.lines.empty())
        return 0;
    return logicalOffset(paragraph, paragraph.lines.size() - 1, paragraph.lines.back().contentSize());
}

}  // namespace veyla::view
