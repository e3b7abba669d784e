// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/import/chapter_splitter.h"
#include "core/import/split_report.h"

namespace veyla::import {

// Another way to split a book that the user can choose, and what it gives.
struct SplitSuggestion {
    SplitOptions options;
    HeadingStyle style;
    SplitReport report;
};

// The options of veyla-cli import and split that choose these split options,
// as typed on a command line: "--prefix CHAPTER --no-punct".
std::string commandLineOptions(const SplitOptions& options);

// Tries in memory, without writing anything, the split options a user can
// choose: titles with and without punctuation, each heading of the detection
// table as the user's prefix and suffix, and the ones with letters matched
// in either case. Among those whose chapter numbers start at 1 (or 0), the
// best is one whose report looks right, else the one with the fewest
// problems; ties go to the options closest to the current ones. Nothing is
// suggested when the current split looks right, the text is too short to
// split, or no alternative has fewer problems than the current split.
std::optional<SplitSuggestion> suggestSplit(const std::shared_ptr<const std::u16string>& text,
                                            const SplitOptions& current, const SplitReport& currentReport);

}  // namespace veyla::import
