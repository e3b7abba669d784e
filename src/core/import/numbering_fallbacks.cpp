// SPDX-License-Identifier: MIT
#include "core/import/numbering_fallbacks.h"

#include <algorithm>
#include <string>

#include "core/import/chapter_naming.h"
#include "core/import/forward_search.h"

namespace veyla::import {

namespace {


constexpr std::size_t kLongNumberedChapter = 20000;
constexpr std::size_t kNumberedPartSize = 10000;
constexpr TextPos kRomanSpacing = 15;
constexpr TextPos kRomanFirstGap = 200;
constexpr TextPos kRomanSkip = 6;
constexpr std::size_t kPieceSize = 9000;

void addNumberedChapter(PlanBuilder& builder, int number, std::u16string_view content)
{
    const std::u16string name = zeroPadded(number, 4);
    if (content.size() > kLongNumberedChapter)
        builder.splitLongChapter(name, content, kNumberedPartSize);
    else
        builder.addChapter(name, content);
}

// Position of the next "I" that has a space at most 15 units after it,
// starting the search at from; -1 when there is none.
TextPos firstSpacedNumeralFrom(std::u16string_view text, TextPos i)
{
    TextPos space = utf16::find(text, u' ', i);
    if (space == kNotFound)
        return kNotFound;
    while (space - i > kRomanSpacing) {
        i = utf16::find(text, u"I", space);
        if (i == kNotFound)
            return kNotFound;
        space = utf16::find(text, u' ', i);
        if (space == kNotFound)
            return kNotFound;
    }
    return i;
}

}  // namespace

ArabicOutcome splitByArabicNumbers(std::u16string_view text, const HeadingKey& key, Punctuation punctuation,
                                   PlanBuilder& builder)
{
    TextPos p = utf16::find(text, u"1", 0);
    while (p != kNotFound && isRejectedHeading(p, text, key, Leniency::Strict, punctuation))
        p = utf16::find(text, u"1", p + 1);
    if (p == kNotFound)
        return ArabicOutcome::CannotStart;

    TextPos cursor = 0;
    TextPos q = findFirstHeading(cursor, HeadingKey{u"1", key.suffix}, text, punctuation);
    if (q == kNotFound)
        return ArabicOutcome::NothingWritten;
    for (int counter = 1;; ++counter) {
        const TextPos lineStart = utf16::lineStartOf(q, text);
        const std::u16string nextNumber = utf16::number(counter + 1);
        const TextPos next = findNextHeading(q, HeadingKey{nextNumber, key.suffix}, text, punctuation);
        const TextPos end = next == kNotFound ? static_cast<TextPos>(text.size()) : std::max(next, lineStart);
        addNumberedChapter(builder, counter, text.substr(lineStart, end - lineStart));
        if (next == kNotFound)
            return ArabicOutcome::Split;
        q = next;
    }
}

bool splitByRomanNumerals(std::u16string_view text, PlanBuilder& builder)
{
    TextPos i = utf16::find(text, u"I", 0);
    if (i == kNotFound)
        return false;
    const TextPos two = utf16::find(text, u"II", i);
    i = firstSpacedNumeralFrom(text, i);
    if (two == kNotFound || i == kNotFound || two - i <= kRomanFirstGap)
        return false;

    ForwardSearch space(text, u" ");
    TextPos start = 0;
    TextPos current = two;
    for (int counter = 1;; ++counter) {
        addNumberedChapter(builder, counter, text.substr(start, current - start));
        start = current;
        const std::u16string numeral = toRomanNumeral(counter + 2);
        current = utf16::find(text, numeral, current + kRomanSkip);
        while (current != kNotFound) {
            const TextPos nextSpace = space.from(current);
            if (nextSpace != kNotFound && nextSpace - current <= kRomanSpacing)
                break;
            current = utf16::find(text, numeral, current + 1);
        }
        if (current == kNotFound) {
            // The last chapter runs to the end and is kept whole.
            builder.addChapter(zeroPadded(counter + 1, 4), text.substr(start));
            return true;
        }
    }
}

void splitIntoFixedPieces(std::u16string_view text, PlanBuilder& builder)
{
    int piece = 0;
    TextPos start = 0;
    if (text.size() >= kPieceSize) {
        TextPos lineBreak = utf16::find(text, u'\n', static_cast<TextPos>(kPieceSize));
        while (lineBreak != kNotFound) {
            builder.addChapter(zeroPadded(++piece, 5), text.substr(start, lineBreak - start));
            start = lineBreak + 1;
            lineBreak = utf16::find(text, u'\n', start + static_cast<TextPos>(kPieceSize));
        }
    }
    builder.addChapter(zeroPadded(++piece, 5), text.substr(start));
}

}  // namespace veyla::import
