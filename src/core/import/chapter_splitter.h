// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/heading_finder.h"
#include "core/import/import_plan.h"

namespace veyla::import {

// A text shorter than this (in UTF-16 units) becomes one chapter file.
inline constexpr std::size_t kShortTextLimit = 20000;

// Whether headings are matched with the letters of their prefix and suffix
// as written, or with ASCII letters of either case ("chapter" finds
// "CHAPTER" and "Chapter", and the markers CHAPTER and Chapter become one).
enum class LetterCase { AsWritten, Either };

struct SplitOptions {
    // The user's heading prefix and suffix; tried before the built-in markers when the prefix is set.
    std::u16string prefix;
    std::u16string suffix;
    Punctuation punctuation = Punctuation::Allowed;
    LetterCase letterCase = LetterCase::AsWritten;
};

// Plans the book that a novel's text becomes, without writing anything.
// bookName may be a path: only the part after the last '/' or '\\' is used.
// A short text gives one chapter node "<book>.xml" under the import target
// (parent -1); a longer one gives a folder node (the book name trimmed of
// white space) holding chapter nodes "0001_<title>.xml", long chapters cut
// into parts "0001_<title>_0001.xml", or the numbered fallbacks' "0001.xml"
// and "00001.xml". style tells how the chapters were found.
ImportPlan splitIntoChapters(std::u16string_view bookName, std::shared_ptr<const std::u16string> text,
                             const SplitOptions& options);
// The same for a text the plan copies first.
ImportPlan splitIntoChapters(std::u16string_view bookName, std::u16string_view text, const SplitOptions& options);

// The heading style splitIntoChapters would choose for a text of at least
// the short-text limit: the user's prefix when it matches, else the first
// accepted detection marker, else every short line.
HeadingStyle chooseHeadingStyle(std::u16string_view text, const SplitOptions& options);

// The prefix and suffix each detection marker gives, in the order the
// markers are tried; a marker with two results ("卷", and "卷" with "·")
// appears twice.
struct MarkerHeading {
    std::u16string_view prefix;
    std::u16string_view suffix;
};
std::vector<MarkerHeading> detectionMarkerHeadings();

}  // namespace veyla::import
