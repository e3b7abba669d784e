// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <ostream>

#include "core/import/split_report.h"
#include "core/import/split_suggestion.h"

namespace veyla::cli {

// The whole check of a split: counts, number runs, breaks in the numbering,
// chapters without a number, length outliers and the verdict. Each line
// starts with indent.
void printSplitReport(std::ostream& out, const import::SplitReport& report, const char* indent);

// "suggest:  --prefix CHAPTER gives 36 files: ...", or nothing without a suggestion.
void printSuggestion(std::ostream& out, const std::optional<import::SplitSuggestion>& suggestion, bool applied,
                     const char* indent);

}  // namespace veyla::cli
