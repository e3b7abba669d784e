// SPDX-License-Identifier: MIT
#include "core/view/layout_engine.h"

#include <algorithm>
#include <string_view>

namespace veyla::view {

bool isClosingPunctuation(char16_t ch)
{
    static constexpr std::u16string_view kClosing =
        u"，。、；：？！）」』》〉】〕］｝〗〙〛”’…‥—～·・％‰℃"
        u"﹐﹑﹒﹔﹕﹖﹗﹚﹜﹞！％），．：；？］｝｡｣､･"
        u",.;:?!)]}%";
    return kClosing.find(ch) != std::u16string_view::npos;
}

bool isWordCharacter(char16_t ch)
{
    if (ch < 0x80)
        return (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') || (ch >= u'0' && ch <= u'9') || ch == u'\'';
    // Latin letters with accents (Latin-1 Supplement to Latin Extended-B), not × and ÷.
    return ch >= 0xC0 && ch < 0x250 && ch != 0xD7 && ch != 0xF7;
}

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
    forEachLogicalGlyph(paragraph, [&](const GlyphNode& glyph) { logical.push_back(glyph); });
    return logical;
}

namespace {

// Fills a paragraph with lines from glyphs handed in one by one. Each line
// is collected in a scratch buffer and then copied into a vector of its
// exact size, so lines carry no spare capacity.
class LineBreaker {
public:
    static constexpr int kMostHanging = 3;
    // A Western word longer than this is broken where the line ends.
    static constexpr std::size_t kLongestWordMoved = 30;

    LineBreaker(const LayoutEngine& engine, ParagraphBox& paragraph)
        : m_engine(engine), m_paragraph(paragraph), m_size(static_cast<std::uint16_t>(engine.lineSize(paragraph)))
    {
        m_paragraph.lines.clear();
        m_softEnd.size = m_size;
        m_endAdvance = engine.advance(m_softEnd, paragraph) + 2;
        m_width = m_endAdvance;
    }

    void add(GlyphNode glyph)
    {
        glyph.size = m_size;
        if (glyph.ch == u'\r') {
            // A line break inside a code paragraph: its glyph ends the line.
            glyph.low = 0;
            endLine(glyph, false);
            return;
        }
        if (!m_pending.empty() && m_engine.lineIsFull(m_width, m_paragraph.lines.empty())) {
            // A few closing marks (or a blank, which is not seen) hang past the
            // page width; a long run of them breaks anyway.
            const bool hangs = m_engine.params().lineStart == LineStartRule::NoClosingPunctuation &&
                               (isClosingPunctuation(glyph.ch) || glyph.ch == u' ') && m_hanging < kMostHanging;
            if (hangs)
                ++m_hanging;
            else
                breakLine(wordStart(glyph));
        }
        m_pending.push_back(glyph);
        m_width += m_engine.advance(glyph, m_paragraph);
    }

    void finish() { endLine(m_softEnd, false); }

private:
    // Where the line may end when next does not fit: before the word next
    // goes on, when that word began on this line after something else;
    // else after everything pending.
    std::size_t wordStart(const GlyphNode& next) const
    {
        const std::size_t all = m_pending.size();
        if (m_engine.params().lineStart != LineStartRule::NoClosingPunctuation || !isWordCharacter(next.ch))
            return all;
        std::size_t start = all;
        while (start > 0 && isWordCharacter(m_pending[start - 1].ch))
            --start;
        return start > 0 && all - start <= kLongestWordMoved ? start : all;
    }

    // Ends the line after the first keep pending glyphs; the rest begin the next line.
    void breakLine(std::size_t keep)
    {
        std::vector<GlyphNode> moved(m_pending.begin() + static_cast<std::ptrdiff_t>(keep), m_pending.end());
        m_pending.resize(keep);
        endLine(m_softEnd, true);
        for (const GlyphNode& glyph : moved) {
            m_pending.push_back(glyph);
            m_width += m_engine.advance(glyph, m_paragraph);
        }
    }

    // Ends the current line with end; the next line continues it after a soft break.
    void endLine(const GlyphNode& end, bool soft)
    {
        TextLine line;
        line.continuation = m_continuation;
        line.glyphs.reserve(m_pending.size() + 1);
        line.glyphs.assign(m_pending.begin(), m_pending.end());
        line.glyphs.push_back(end);
        m_paragraph.lines.push_back(std::move(line));
        m_pending.clear();
        m_width = m_endAdvance;
        m_continuation = soft;
        m_hanging = 0;
    }

    const LayoutEngine& m_engine;
    ParagraphBox& m_paragraph;
    std::uint16_t m_size;
    GlyphNode m_softEnd = lineEndGlyph();
    double m_endAdvance = 0;
    double m_width = 0;
    bool m_continuation = false;
    int m_hanging = 0;  // closing marks of this line past the page width
    std::vector<GlyphNode> m_pending;
};

// The logical glyphs of lines taken out of a paragraph; each line's storage
// is released once its glyphs have been handed out.
class ConsumedLines final : public GlyphSource {
public:
    explicit ConsumedLines(std::vector<TextLine> lines) : m_lines(std::move(lines)) {}

    const GlyphNode* next() override
    {
        while (m_line < m_lines.size()) {
            auto& glyphs = m_lines[m_line].glyphs;
            if (m_glyph + 1 < glyphs.size())
                return &glyphs[m_glyph++];
            const bool hardBreak = m_line + 1 < m_lines.size() && !m_lines[m_line + 1].continuation;
            if (hardBreak && m_glyph + 1 == glyphs.size())
                return &glyphs[m_glyph++];
            std::vector<GlyphNode>().swap(glyphs);
            ++m_line;
            m_glyph = 0;
        }
        return nullptr;
    }

private:
    std::vector<TextLine> m_lines;
    std::size_t m_line = 0;
    std::size_t m_glyph = 0;
};

}  // namespace

void LayoutEngine::setContent(ParagraphBox& paragraph, const std::vector<GlyphNode>& logical) const
{
    GlyphRange range(logical.data(), logical.data() + logical.size());
    setContent(paragraph, range);
}

void LayoutEngine::setContent(ParagraphBox& paragraph, GlyphSource& logical) const
{
    paragraph.lines.clear();
    if (!paragraph.isText())
        return;
    LineBreaker breaker(*this, paragraph);
    while (const GlyphNode* glyph = logical.next())
        breaker.add(*glyph);
    breaker.finish();
    paragraph.lines.shrink_to_fit();
}

void LayoutEngine::rebreak(ParagraphBox& paragraph) const
{
    ConsumedLines old(std::move(paragraph.lines));
    paragraph.lines = {};
    setContent(paragraph, old);
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
            glyph.left = static_cast<float>(x);
            glyph.right = static_cast<float>(x + step);
            x += step;
            sum += step;
        }
        line.width = static_cast<int>(sum + 2);
        line.right = static_cast<int>(x) + 2;
        line.height = line.glyphs.back().size + m_params.rowSpacing;
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
                    glyph.size = static_cast<std::uint16_t>(m_params.codeSize);
        } else {
            rebreak(paragraph);
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
