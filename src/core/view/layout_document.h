// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veyla::view {

// The layout model of the open chapter. Geometry is in device pixels of the
// page (the scrollable canvas): x grows to the right from the page's left
// edge, y grows downwards from the page's top. Every text line ends with a
// "\r" glyph, the place of the caret after the line's last character.

// One character cell of a text line: 16 bytes, as a chapter may hold
// millions of them. Its top is its line's top and its bottom that top plus
// its size (TextLine::glyphBottom).
struct GlyphNode {
    char16_t ch = u'\r';  // one UTF-16 unit
    char16_t low = 0;     // the low surrogate when ch is a high surrogate, else 0
    float left = 0;       // x in page pixels; halves and tenths of a size are exact enough
    float right = 0;
    std::uint16_t size : 13 = 0;   // font size in pixels (the line's text or code size), at most 8191
    bool spoken : 1 = false;       // inside the piece being read aloud; set on the UI thread only
    bool selected : 1 = false;
    bool noteMark : 1 = false;
    std::uint16_t annotation = 0;  // annotation style number, 0 = none

    bool isLineEnd() const { return ch == u'\r'; }
    // The character as text: one unit, or two for a surrogate pair.
    std::u16string text() const;
};

// A text line (box level 3).
struct TextLine {
    std::vector<GlyphNode> glyphs;  // never empty: the last glyph is the "\r" line end
    // True for a line made by line breaking; false for the first line of a
    // paragraph and for a line started by a line break inside a code paragraph.
    bool continuation = false;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width = 0;   // sum of the glyph advances + 2
    int height = 0;  // font size + row spacing

    // Glyphs before the line end.
    std::size_t contentSize() const { return glyphs.size() - 1; }
    // The bottom of a glyph of this line; glyphs share the line's top.
    int glyphBottom(const GlyphNode& glyph) const { return top + glyph.size; }
};

// The kind of a paragraph-level box.
enum class BoxKind {
    Text,     // holds text lines (a character data block)
    Picture,  // a picture-like box of its own height; no text, refuses text edits
};

// A paragraph (box level 2): a vertical group of text lines.
struct ParagraphBox {
    // Names the paragraph for as long as the chapter is open, whatever is
    // inserted or removed before it; a split keeps it for the first part.
    std::uint64_t id = 0;
    BoxKind kind = BoxKind::Text;
    std::vector<TextLine> lines;  // at least one for a text box; none for a picture box
    int code = 0;                 // non-zero: a code paragraph, drawn with the code font and colours
    int lineSpacing = 0;          // the chapter file's per-paragraph spacing, kept for saving
    int fontSize = 0;             // the chapter file's per-paragraph size, kept for saving
    std::optional<std::u16string> fontFace;
    std::uint16_t annotation = 0;  // paragraph annotation style number, 0 = none
    std::uint16_t decoration = 0;  // paragraph decoration index into the row-line pictures, 0 = none
    int verticalBar = 0;           // vertical-bar picture index, 0 = none
    int horizontalLine = 0;        // horizontal-line picture index, 0 = none
    int paragraphPicture = 0;      // paragraph picture index, 0 = none
    int characterSpacing = 0;      // per cent of the font size added to every advance
    int pictureHeight = 0;         // content height of a picture box
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width = 0;
    int height = 0;  // lines + paragraph spacing

    bool isCode() const { return code != 0; }
    bool isText() const { return kind == BoxKind::Text; }
};

// The open chapter as laid out: the page frame (level 1) and its paragraphs.
struct LayoutDocument {
    std::vector<ParagraphBox> paragraphs;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width = 0;
    int height = 0;  // sum of the paragraph heights
    int version = 1;
    int columnDistance = 50;
    int publishStatus = 0;
    bool modified = false;
    long long typedCount = 0;  // characters typed since the last save
    // Paragraphs [selectionBegin, selectionEnd) may hold selected glyphs. The
    // Editor keeps this hint so that testing and clearing the selection do not
    // walk the whole chapter; code that sets selected flags itself widens it.
    std::size_t selectionBegin = 0;
    std::size_t selectionEnd = 0;
    std::uint64_t nextParagraphId = 1;

    // A new paragraph id.
    std::uint64_t newParagraphId() { return nextParagraphId++; }
    // The index of the paragraph with the id, looked for from near first.
    std::optional<std::size_t> findParagraph(std::uint64_t id, std::size_t near = 0) const;

    // One paragraph holding one line holding the "\r" glyph.
    static LayoutDocument empty();

    std::size_t glyphCount() const;
};

// A place in the document: a glyph of a line of a paragraph. On a picture box
// line and glyph are 0.
struct TextPosition {
    std::size_t paragraph = 0;
    std::size_t line = 0;
    std::size_t glyph = 0;

    friend bool operator==(const TextPosition&, const TextPosition&) = default;
    friend auto operator<=>(const TextPosition&, const TextPosition&) = default;
};

// A fresh "\r" line-end glyph.
GlyphNode lineEndGlyph();
// A glyph for one character (two units for a surrogate pair).
GlyphNode glyphFor(char16_t ch, char16_t low = 0);

}  // namespace veyla::view
