// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "core/view/layout_engine.h"

namespace veyla::view {

// A place in the document that survives line breaking: a paragraph and an
// offset into its logical glyphs.
struct LogicalPosition {
    std::size_t paragraph = 0;
    std::size_t offset = 0;

    friend bool operator==(const LogicalPosition&, const LogicalPosition&) = default;
};

LogicalPosition logicalPositionOf(const LayoutDocument& document, TextPosition position);
TextPosition textPositionOf(const LayoutDocument& document, LogicalPosition position);

// What an undo step holds of one glyph: 8 bytes instead of the layout's 16.
struct StoredGlyph {
    char16_t ch = u'\r';
    char16_t low = 0;
    std::uint16_t annotation = 0;
    bool noteMark = false;

    friend bool operator==(const StoredGlyph&, const StoredGlyph&) = default;
};

// A paragraph as undo keeps it: its attributes (a box without lines) and
// its logical glyphs.
struct StoredParagraph {
    ParagraphBox shell;
    std::vector<StoredGlyph> glyphs;

    bool sameAs(const StoredParagraph& other) const;
};

// How a change joins the one before it: typing one character after
// another is undone as one step.
enum class ChangeKind { Typing, Other };

// Undo and redo of the reading view's edits. A step replaces a range of
// paragraphs by what they held before (undo) or after (redo) the change;
// the paragraphs outside the range are untouched by it. The history keeps
// at most kMaxSteps steps and about kMaxStoredGlyphs glyphs, dropping the
// oldest first (the newest step always stays).
class EditHistory {
public:
    static constexpr std::size_t kMaxSteps = 500;
    static constexpr std::size_t kMaxStoredGlyphs = 8'000'000;

    // Before a change of paragraphs [first, end): keeps what they hold now.
    // A typing change right after another typing change of the same one
    // paragraph joins that step and keeps nothing new.
    void begin(const LayoutDocument& document, std::size_t first, std::size_t end, LogicalPosition caret,
               ChangeKind kind);
    // After the change: the step is kept when changed, else forgotten. The
    // range now holds (end − first) + the change of the paragraph count.
    void commit(const LayoutDocument& document, LogicalPosition caret, bool changed);
    // After the change when its caller does not know whether it changed
    // anything: compares the range with what it held before.
    void commitIfDifferent(const LayoutDocument& document, LogicalPosition caret);
    bool changing() const { return m_pending.has_value(); }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // Undo and redo lay out the restored paragraphs and everything below
    // them; each returns where the caret goes, or nothing when there was
    // nothing to undo or redo.
    std::optional<LogicalPosition> undo(LayoutDocument& document, const LayoutEngine& engine);
    std::optional<LogicalPosition> redo(LayoutDocument& document, const LayoutEngine& engine);

    // The next typing change starts a step of its own (the caret was moved,
    // or the text was saved).
    void breakTyping() { m_typingOpen = false; }
    void clear();

private:
    struct Step {
        std::size_t first = 0;
        std::vector<StoredParagraph> content;  // the range's paragraphs in the state this step restores
        std::size_t otherCount = 0;            // the range's paragraph count in the other state
        LogicalPosition caret;                 // the caret in the state this step restores
        LogicalPosition otherCaret;
        ChangeKind kind = ChangeKind::Other;
    };
    struct Pending {
        Step step;
        std::size_t countBefore = 0;  // paragraphs of the document before the change
        std::size_t end = 0;
        bool joins = false;  // joins the top undo step
    };

    static std::optional<LogicalPosition> apply(std::deque<Step>& from, std::deque<Step>& to, LayoutDocument& document,
                                                const LayoutEngine& engine);
    void trim();
    static std::size_t storedGlyphs(const Step& step);

    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    std::optional<Pending> m_pending;
    bool m_typingOpen = false;
};

// A paragraph as stored, and back.
StoredParagraph storeParagraph(const ParagraphBox& paragraph);
ParagraphBox restoreParagraph(const StoredParagraph& stored, const LayoutEngine& engine);

}  // namespace veyla::view
