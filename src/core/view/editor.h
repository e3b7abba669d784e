// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"
#include "core/view/layout_engine.h"

namespace veyla::view {

// The caret: the glyph before which text is inserted. column remembers the
// x to aim for while moving up and down.
struct Caret {
    TextPosition position;
    std::optional<double> column;
};

enum class CaretMove { Left, Right, Up, Down };

// The two counts of the word count: Chinese characters (U+4E00…U+9FA5) and
// every character but line ends, spaces and ideographic spaces.
struct WordCount {
    long long hanzi = 0;
    long long all = 0;
};

// The place under a point of the page: the paragraph and line at y, the
// glyph whose middle lies right of x (the line end when none does).
TextPosition positionAt(const LayoutDocument& document, double x, double y);
// The same within one paragraph (paragraph mode shows only one).
TextPosition positionInParagraph(const LayoutDocument& document, std::size_t paragraph, double x, double y);

// What an edit changed.
struct EditResult {
    bool changed = false;
    std::size_t firstParagraph = 0;  // first paragraph laid out again
};

// The editing commands of the reading view, working on a document, its
// layout engine and the caret. Every edit lays the changed paragraphs out
// again (from the top margin downwards, as in the whole-chapter display),
// moves the following paragraphs, sets the document's modified flag and
// puts the caret after the edit. The selection is the set of glyphs whose
// selected flag is on, in document order.
class Editor {
public:
    Editor(LayoutDocument& document, const LayoutEngine& engine, Caret& caret)
        : m_document(document), m_engine(engine), m_caret(caret)
    {
    }

    // Caret
    void setCaret(TextPosition position);
    bool moveCaret(CaretMove move);
    // Caret x, for painting it and for moving up and down.
    double caretX() const;

    // Typing. A character code 8 or 10 is ignored; "\r" is a line break.
    // NotTextBox when the caret is not on a text line.
    Result<EditResult> typeCharacter(char16_t ch, char16_t low = 0);
    // "\r" in a code paragraph whose caret line has a following line: a new
    // line with the leading spaces of the line above; elsewhere the
    // paragraph ends at the caret and a new one with its attributes starts.
    Result<EditResult> insertLineBreak();
    // Backspace: the selection, or the glyph before the caret (joining the
    // paragraph to the one before at its start).
    EditResult backspace();
    // Delete: the selection, if any.
    EditResult deleteKey();
    // Inserts clipboard text at the caret: U+00AC and 8 are skipped, a
    // surrogate pair stays one glyph, "\r\n", "\r" and "\n" each break the
    // line as a typed "\r".
    // NotTextBox when the caret is not on a text line.
    Result<EditResult> paste(std::u16string_view text);

    // Selection
    // Selects every glyph from a up to (not including) b, in either order.
    void selectRange(TextPosition a, TextPosition b);
    void selectAll();
    void clearSelection();
    bool hasSelection() const;
    std::vector<TextPosition> selectedPositions() const;
    // The selection as text: line ends are skipped; a line end in code adds
    // "\r\n"; in text "\r\n" separates glyphs of different paragraphs.
    std::u16string copySelection() const;
    // Copies, then deletes the selection.
    std::u16string cutSelection();
    EditResult deleteSelection();

    WordCount wordCount() const;

private:
    ParagraphBox& caretParagraph() { return m_document.paragraphs[m_caret.position.paragraph]; }
    void clampCaret();
    void placeCaretAtOffset(std::size_t paragraph, std::size_t offset);
    EditResult insertGlyphs(std::vector<GlyphNode> glyphs);
    EditResult splitParagraph();
    EditResult joinWithPrevious();
    EditResult finish(std::size_t first, std::size_t count);
    bool moveHorizontally(CaretMove move);
    bool moveVertically(CaretMove move);

    LayoutDocument& m_document;
    const LayoutEngine& m_engine;
    Caret& m_caret;
    bool m_deferLayout = false;  // while pasting: lay out once at the end
    std::size_t m_pendingFirst = 0;
};

}  // namespace veyla::view
