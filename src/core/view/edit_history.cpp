// SPDX-License-Identifier: MIT
#include "core/view/edit_history.h"

#include <algorithm>

namespace veyla::view {

namespace {

// The stored glyphs of one paragraph, handed to the line breaker one by one.
class StoredGlyphs final : public GlyphSource {
public:
    explicit StoredGlyphs(const std::vector<StoredGlyph>& glyphs) : m_glyphs(glyphs) {}

    const GlyphNode* next() override
    {
        if (m_at == m_glyphs.size())
            return nullptr;
        const StoredGlyph& stored = m_glyphs[m_at++];
        m_glyph = glyphFor(stored.ch, stored.low);
        m_glyph.annotation = stored.annotation;
        m_glyph.noteMark = stored.noteMark;
        return &m_glyph;
    }

private:
    const std::vector<StoredGlyph>& m_glyphs;
    std::size_t m_at = 0;
    GlyphNode m_glyph;
};

std::vector<StoredParagraph> storeRange(const LayoutDocument& document, std::size_t first, std::size_t end)
{
    std::vector<StoredParagraph> stored;
    end = std::min(end, document.paragraphs.size());
    for (std::size_t p = first; p < end; ++p)
        stored.push_back(storeParagraph(document.paragraphs[p]));
    return stored;
}

}  // namespace

LogicalPosition logicalPositionOf(const LayoutDocument& document, TextPosition position)
{
    if (position.paragraph >= document.paragraphs.size())
        return {position.paragraph, 0};
    return {position.paragraph, logicalOffset(document.paragraphs[position.paragraph], position.line, position.glyph)};
}

TextPosition textPositionOf(const LayoutDocument& document, LogicalPosition position)
{
    if (document.paragraphs.empty())
        return {};
    const std::size_t p = std::min(position.paragraph, document.paragraphs.size() - 1);
    const auto [line, glyph] = positionOfOffset(document.paragraphs[p], position.offset);
    return {p, line, glyph};
}

bool StoredParagraph::sameAs(const StoredParagraph& other) const
{
    const ParagraphBox& a = shell;
    const ParagraphBox& b = other.shell;
    return glyphs == other.glyphs && a.kind == b.kind && a.code == b.code && a.lineSpacing == b.lineSpacing &&
           a.fontSize == b.fontSize && a.fontFace == b.fontFace && a.annotation == b.annotation &&
           a.decoration == b.decoration && a.verticalBar == b.verticalBar && a.horizontalLine == b.horizontalLine &&
           a.paragraphPicture == b.paragraphPicture && a.characterSpacing == b.characterSpacing &&
           a.pictureHeight == b.pictureHeight;
}

StoredParagraph storeParagraph(const ParagraphBox& paragraph)
{
    StoredParagraph stored;
    stored.shell = paragraph;
    stored.shell.lines.clear();
    stored.shell.lines.shrink_to_fit();
    stored.glyphs.reserve(logicalLength(paragraph));
    forEachLogicalGlyph(paragraph, [&](const GlyphNode& glyph) {
        stored.glyphs.push_back({glyph.ch, glyph.low, glyph.annotation, glyph.noteMark});
    });
    return stored;
}

ParagraphBox restoreParagraph(const StoredParagraph& stored, const LayoutEngine& engine)
{
    ParagraphBox paragraph = stored.shell;
    StoredGlyphs glyphs(stored.glyphs);
    engine.setContent(paragraph, glyphs);
    return paragraph;
}

void EditHistory::begin(const LayoutDocument& document, std::size_t first, std::size_t end, LogicalPosition caret,
                        ChangeKind kind)
{
    end = std::min(end, document.paragraphs.size());
    first = std::min(first, end);
    Pending pending;
    pending.countBefore = document.paragraphs.size();
    pending.end = end;
    pending.step.first = first;
    pending.step.caret = caret;
    pending.step.kind = kind;
    const bool typingStep = kind == ChangeKind::Typing && end - first == 1;
    pending.joins = typingStep && m_typingOpen && !m_undo.empty() && m_undo.back().kind == ChangeKind::Typing &&
                    m_undo.back().first == first && m_undo.back().otherCount == 1;
    if (!pending.joins)
        pending.step.content = storeRange(document, first, end);
    m_pending = std::move(pending);
}

void EditHistory::commit(const LayoutDocument& document, LogicalPosition caret, bool changed)
{
    if (!m_pending)
        return;
    Pending pending = std::move(*m_pending);
    m_pending.reset();
    if (!changed)
        return;
    // The paragraphs outside the range are untouched: the range grew or shrank by the change of the count.
    const auto rangeBefore = static_cast<long long>(pending.end - pending.step.first);
    const auto grown = static_cast<long long>(document.paragraphs.size()) - static_cast<long long>(pending.countBefore);
    const auto rangeAfter = static_cast<std::size_t>(std::max(0LL, rangeBefore + grown));
    m_redo.clear();
    if (pending.joins) {
        m_undo.back().otherCount = rangeAfter;
        m_undo.back().otherCaret = caret;
    } else {
        pending.step.otherCount = rangeAfter;
        pending.step.otherCaret = caret;
        m_undo.push_back(std::move(pending.step));
    }
    m_typingOpen = m_undo.back().kind == ChangeKind::Typing && rangeAfter == 1;
    trim();
}

void EditHistory::commitIfDifferent(const LayoutDocument& document, LogicalPosition caret)
{
    if (!m_pending)
        return;
    const Pending& pending = *m_pending;
    bool changed = pending.joins || document.paragraphs.size() != pending.countBefore;
    if (!changed) {
        const auto& before = pending.step.content;
        for (std::size_t i = 0; i < before.size() && !changed; ++i)
            changed = !before[i].sameAs(storeParagraph(document.paragraphs[pending.step.first + i]));
    }
    commit(document, caret, changed);
}

std::optional<LogicalPosition> EditHistory::apply(std::deque<Step>& from, std::deque<Step>& to,
                                                  LayoutDocument& document, const LayoutEngine& engine)
{
    if (from.empty())
        return std::nullopt;
    Step step = std::move(from.back());
    from.pop_back();
    auto& paragraphs = document.paragraphs;
    const std::size_t first = std::min(step.first, paragraphs.size());
    const std::size_t end = std::min(first + step.otherCount, paragraphs.size());

    Step other;
    other.first = first;
    other.content = storeRange(document, first, end);
    other.otherCount = step.content.size();
    other.caret = step.otherCaret;
    other.otherCaret = step.caret;
    other.kind = step.kind;

    std::vector<ParagraphBox> restored;
    restored.reserve(step.content.size());
    for (const auto& stored : step.content)
        restored.push_back(restoreParagraph(stored, engine));
    step.content.clear();
    paragraphs.erase(paragraphs.begin() + static_cast<std::ptrdiff_t>(first),
                     paragraphs.begin() + static_cast<std::ptrdiff_t>(end));
    paragraphs.insert(paragraphs.begin() + static_cast<std::ptrdiff_t>(first),
                      std::make_move_iterator(restored.begin()), std::make_move_iterator(restored.end()));
    if (paragraphs.empty()) {
        paragraphs.emplace_back().id = document.newParagraphId();
        engine.setContent(paragraphs.back(), std::vector<GlyphNode>{});
    }
    engine.relayoutParagraphs(document, first, other.otherCount);
    document.modified = true;
    to.push_back(std::move(other));
    return step.caret;
}

std::optional<LogicalPosition> EditHistory::undo(LayoutDocument& document, const LayoutEngine& engine)
{
    m_typingOpen = false;
    return apply(m_undo, m_redo, document, engine);
}

std::optional<LogicalPosition> EditHistory::redo(LayoutDocument& document, const LayoutEngine& engine)
{
    m_typingOpen = false;
    return apply(m_redo, m_undo, document, engine);
}

void EditHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_pending.reset();
    m_typingOpen = false;
}

std::size_t EditHistory::storedGlyphs(const Step& step)
{
    std::size_t count = 0;
    for (const auto& paragraph : step.content)
        count += paragraph.glyphs.size() + 1;
    return count;
}

void EditHistory::trim()
{
    std::size_t total = 0;
    for (const auto& step : m_undo)
        total += storedGlyphs(step);
    while (m_undo.size() > 1 && (m_undo.size() > kMaxSteps || total > kMaxStoredGlyphs)) {
        total -= storedGlyphs(m_undo.front());
        m_undo.pop_front();
    }
}

}  // namespace veyla::view
