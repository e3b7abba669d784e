// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "core/import/heading_finder.h"
#include "core/import/plan_builder.h"

namespace veyla::import {

// Ways of cutting a book whose headings were not found, tried in the order
// declared here. Chapters go into the builder's book folder.

enum class ArabicOutcome {
    CannotStart,    // no line with an acceptable "1": try the next way
    Split,          // chapters 1, 2, 3, ... were written
    NothingWritten  // a "1" was acceptable but no numbered heading was confirmed
};

// Chapters start at lines holding 1, 2, 3, ...; the key is the heading
// style in force (its suffix is required after each number). Chapters longer
// than 20000 units are cut into parts of at least 10000. Text before the
// first numbered heading is not kept.
ArabicOutcome splitByArabicNumbers(std::u16string_view text, const HeadingKey& key, Punctuation punctuation,
                                   PlanBuilder& builder);

// Chapters start at the Roman numerals II, III, ... each followed by a space
// within 15 units; chapter 1 is everything before II. False when the text
// does not look Roman-numbered (nothing is written then).
bool splitByRomanNumerals(std::u16string_view text, PlanBuilder& builder);

// Pieces of at least 9000 units cut at line breaks, named "%05d.xml".
void splitIntoFixedPieces(std::u16string_view text, PlanBuilder& builder);

}  // namespace veyla::import
