// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/import/chapter_number.h"
#include "core/import/import_plan.h"

namespace veyla::import {

// What the numbers of consecutive chapters say about a split. Outside a
// change of volume, each chapter's number should be one more than the
// number before it.
enum class NumberIssueKind {
    Gap,         // numbers were skipped: 12 after 10
    Repeat,      // the same number again: 45 after 45
    Restart,     // back to 1 (or 0) without a new volume
    OutOfOrder,  // any other step back: 4 after 17
};

// A chapter of the plan: its first node and that node's file name.
struct ChapterRef {
    std::size_t node = 0;
    std::u16string name;
};

struct NumberIssue {
    NumberIssueKind kind = NumberIssueKind::Gap;
    ChapterRef chapter;
    long long previous = kNoNumber;
    long long number = kNoNumber;
};

// Chapters numbered first, first + 1, ..., last without a break.
struct NumberRun {
    long long volume = kNoNumber;  // kNoNumber before the first volume mark
    long long first = 0;
    long long last = 0;
};

enum class LengthOutlierKind { Short, Long };

// A chapter under 1% or over ten times the median chapter length.
struct LengthOutlier {
    LengthOutlierKind kind = LengthOutlierKind::Short;
    ChapterRef chapter;
    std::size_t length = 0;
};

// A check of a planned split, made from the plan alone: how many chapters,
// how their numbers run, which lengths stand out, and a verdict.
struct SplitReport {
    std::size_t files = 0;     // chapter files the plan writes
    std::size_t chapters = 0;  // chapters, the parts of a cut chapter counted once, front matter not counted
    // The first file holds only what comes before the first chapter: a
    // title page and a table of contents whose entries were passed over.
    bool frontMatterFile = false;
    // Units of text before the first chapter's heading (kept in the first file).
    std::size_t textBeforeFirstChapter = 0;
    std::size_t volumeHeadings = 0;  // chapter files that only name a volume (第二卷, BOOK II)
    std::size_t numbered = 0;        // chapters whose title carries a chapter number
    std::vector<NumberRun> runs;
    std::vector<NumberIssue> issues;
    std::vector<ChapterRef> unnumbered;  // chapters without a number
    // Of those, the ones between the first and the last numbered chapter:
    // the rest are front and back matter.
    std::size_t unnumberedAmongNumbered = 0;
    std::size_t overflowingNumbers = 0;   // titles whose numeral was too large to read
    std::size_t medianLength = 0;
    std::vector<LengthOutlier> outliers;
    bool suspicious = false;
    std::string reason;  // why the split looks suspicious; empty when it looks right

    std::size_t issueCount(NumberIssueKind kind) const;
    // "120 chapters", "36 files: 35 chapters and the front matter".
    std::string counts() const;
    // "1-120", "卷1: 1-10, 卷2: 1-12": the runs of numbers, at most `shown` of them.
    std::string describeRuns(std::size_t shown) const;
    // "looks right", or "suspicious: " and the reason, on one line.
    std::string verdict() const;
};

// Checks a plan. Linear in the number of nodes; titles are read from the
// plan's nodes (for the numbering fallbacks, from their running numbers).
SplitReport reportOnPlan(const ImportPlan& plan);

// The title a chapter node is judged by: its heading title, or its file
// name without the order number and ".xml".
std::u16string reportedTitle(const PlannedNode& node);

}  // namespace veyla::import
