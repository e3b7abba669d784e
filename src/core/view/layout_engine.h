// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "core/view/layout_document.h"

namespace veyla::view {

// Hands out the logical glyphs of a paragraph one at a time, so that a
// paragraph is broken into lines without a second copy of all its glyphs.
class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    // The next glyph, or nullptr after the last; valid until the next call.
    virtual const GlyphNode* next() = 0;
};

// The glyphs [begin, end) of an array.
class GlyphRange final : public GlyphSource {
public:
    GlyphRange(const GlyphNode* begin, const GlyphNode* end) : m_at(begin), m_end(end) {}
    const GlyphNode* next() override { return m_at == m_end ? nullptr : m_at++; }

private:
    const GlyphNode* m_at;
    const GlyphNode* m_end;
};

enum class LineStartRule { AnyCharacter, NoClosingPunctuation };

// Whether ch may not start a line under LineStartRule::NoClosingPunctuation:
// closing and pausing punctuation, Chinese and Western (，。、；：？！）」』》 …).
bool isClosingPunctuation(char16_t ch);
// Whether ch belongs to a Western word, which under that rule is not split
// across lines: Latin letters (with accents), digits and the apostrophe.
bool isWordCharacter(char16_t ch);

// The values layout depends on, in pixels.
struct LayoutParams {
    int textSize = 28;          // body text
    int codeSize = 22;          // code lines
    int rowSpacing = 20;        // added below every text line
    int paragraphSpacing = 20;  // added below every paragraph
    int pageWidth = 1000;       // width of the text column
    int leftMargin = 120;       // x of the text column
    int topMargin = 50;         // y of the first paragraph
    int indentCount = 2;        // first lines of body text start indentCount text sizes to the right
    // Closing punctuation (and a blank) never starts a line: it stays at the
    // end of the line before, even past the page width; and a Western word
    // moves to the next line whole (display only; files keep no trace).
    LineStartRule lineStart = LineStartRule::NoClosingPunctuation;
};

// The size of the scrollable page.
struct ScrollSize {
    int width = 0;
    int height = 0;
};

// Lays text out by arithmetic on the font size, not by font metrics: an
// advance is (character spacing / 100 + (code >= 256 ? 1.0 : 0.5)) × size,
// so a Latin letter takes half the width of a Chinese character.
//
// A paragraph's content is its "logical glyphs": every character glyph in
// order, with a "\r" glyph for each line break inside a code paragraph (the
// display lines' own "\r" line ends are not part of it). Edits change the
// logical glyphs; setContent breaks them into lines again.
class LayoutEngine {
public:
    explicit LayoutEngine(const LayoutParams& params = {}) : m_params(params) {}

    const LayoutParams& params() const { return m_params; }
    // Change the values, then lay out again (reflow after a page width, text
    // size or code size change; layoutDocument after a spacing change).
    LayoutParams& params() { return m_params; }

    static double glyphAdvance(char16_t ch, double size, int spacingPercent);
    // The glyph's advance in its paragraph: code lines and text sizes below 9
    // use the glyph's own size, other lines the current text size.
    double advance(const GlyphNode& glyph, const ParagraphBox& paragraph) const;
    // The font size of the paragraph's lines.
    int lineSize(const ParagraphBox& paragraph) const;
    // Sum of the advances of a line's glyphs (its "\r" included) + 2.
    double measureLine(const TextLine& line, const ParagraphBox& paragraph) const;
    // Whether a line of width w takes no further character: the first line
    // of a paragraph must also leave room for the indent.
    bool lineIsFull(double width, bool firstLineOfParagraph) const;

    std::vector<GlyphNode> logicalGlyphs(const ParagraphBox& paragraph) const;
    // Replaces the paragraph's lines by the logical glyphs broken at any
    // character against the page width; sizes are set to lineSize.
    void setContent(ParagraphBox& paragraph, const std::vector<GlyphNode>& logical) const;
    void setContent(ParagraphBox& paragraph, GlyphSource& logical) const;
    // Breaks the paragraph's own glyphs into lines again, releasing each old
    // line as soon as its glyphs moved, so memory never holds them twice.
    void rebreak(ParagraphBox& paragraph) const;

    // Places the paragraph's lines and glyphs with its top at top; returns its bottom.
    int layoutParagraph(ParagraphBox& paragraph, int top) const;
    // Places every paragraph top-down from the top margin.
    void layoutDocument(LayoutDocument& document) const;
    // Lays out paragraphs [first, first + count) after the one before them,
    // then moves the following paragraphs by the change of height.
    void relayoutParagraphs(LayoutDocument& document, std::size_t first, std::size_t count) const;
    // Breaks every text paragraph again (code paragraphs keep their lines and
    // take the current code size), then lays the document out.
    void reflow(LayoutDocument& document) const;

    // (max(client width, left margin + page width + 20), height + top margin + 5).
    ScrollSize scrollSize(const LayoutDocument& document, int clientWidth) const;
    // Paragraph mode: the paragraph at x = left margin, centred vertically when
    // it is lower than client height − 100, else at the top margin.
    void placeForParagraphMode(ParagraphBox& paragraph, int clientHeight) const;

private:
    LayoutParams m_params;
};

// Positions inside a paragraph as an offset into its logical glyphs. A soft
// line end and the start of the following line share one offset; mapping
// back prefers the end of the earlier line.
std::size_t logicalOffset(const ParagraphBox& paragraph, std::size_t line, std::size_t glyph);
std::pair<std::size_t, std::size_t> positionOfOffset(const ParagraphBox& paragraph, std::size_t offset);
// Number of logical glyphs of the paragraph.
std::size_t logicalLength(const ParagraphBox& paragraph);

// Calls visit(glyph) for every logical glyph of the paragraph, in order.
template <typename Visit>
void forEachLogicalGlyph(const ParagraphBox& paragraph, Visit visit)
{
    const auto& lines = paragraph.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& glyphs = lines[i].glyphs;
        for (std::size_t g = 0; g + 1 < glyphs.size(); ++g)
            visit(glyphs[g]);
        if (i + 1 < lines.size() && !lines[i + 1].continuation)
            visit(glyphs.back());
    }
}

// Moves a paragraph and its glyphs vertically.
void shiftParagraph(ParagraphBox& paragraph, int dy);

}  // namespace veyla::view
