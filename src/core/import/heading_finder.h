// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "core/util/utf16.h"

namespace veyla::import {

// Positions count UTF-16 units; -1 (kNotFound) means "no position".

// Whether chapter titles may contain punctuation such as '，' or '。'.
enum class Punctuation { Allowed, Forbidden };

// A lenient test lets a title with punctuation pass when no prefix or suffix is given.
enum class Leniency { Lenient, Strict };

// The pair of strings every heading contains, the suffix somewhere after the
// prefix. Both may be empty: then every short line is a candidate.
struct HeadingKey {
    std::u16string_view prefix;
    std::u16string_view suffix;
};

// The cleaned title of the line around position, or empty when the line
// cannot be a heading (too long, punctuation before position, no line break
// within 80 units on either side). Looks at most 80 units each way.
std::u16string headingTitleAt(TextPos position, std::u16string_view text);

// True when position is -1 or does not hold an acceptable heading for key.
bool isRejectedHeading(TextPos position, std::u16string_view text, const HeadingKey& key, Leniency leniency,
                       Punctuation punctuation);

// Line start of the next acceptable heading at or after from, or -1. A
// heading followed within 40 units by another heading line is taken as an
// entry of a list of headings and skipped.
TextPos findNextHeading(TextPos from, const HeadingKey& key, std::u16string_view text, Punctuation punctuation);

// Line start of the first acceptable heading, or -1. Advances cursor to
// where the search for the second chapter starts: past a table of contents
// of closely spaced headings when a prefix is given, by 100 or 200 units
// when it is not.
TextPos findFirstHeading(TextPos& cursor, const HeadingKey& key, std::u16string_view text, Punctuation punctuation);

}  // namespace veyla::import
