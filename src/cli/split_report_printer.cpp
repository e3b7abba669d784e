// SPDX-License-Identifier: MIT
#include "cli/split_report_printer.h"

#include <string>

#include "core/util/utf16.h"

namespace veyla::cli {

namespace {

using import::NumberIssueKind;

// Lists longer than this are cut, with a count of the rest.
constexpr std::size_t kShownEntries = 8;
constexpr std::size_t kShownRuns = 12;

std::string nameOf(const import::ChapterRef& chapter)
{
    return utf16::toUtf8(chapter.name);
}

const char* issueLabel(NumberIssueKind kind)
{
    switch (kind) {
    case NumberIssueKind::Gap: return "gap";
    case NumberIssueKind::Repeat: return "repeat";
    case NumberIssueKind::Restart: return "restart";
    case NumberIssueKind::OutOfOrder: return "out of order";
    }
    return "?";
}

std::string issueText(const import::NumberIssue& issue)
{
    if (issue.previous == import::kNoNumber)
        return "starts at " + std::to_string(issue.number);
    return std::to_string(issue.number) + " after " + std::to_string(issue.previous);
}

void printMore(std::ostream& out, std::size_t total, const char* indent)
{
    if (total > kShownEntries)
        out << indent << "    ... and " << total - kShownEntries << " more\n";
}

}  // namespace

void printSplitReport(std::ostream& out, const import::SplitReport& report, const char* indent)
{
    out << indent << "chapters: " << report.counts() << '\n';
    if (report.frontMatterFile)
        out << indent << "before chapter 1: " << report.textBeforeFirstChapter
            << " characters with a table of contents, in its own file\n";
    else if (report.textBeforeFirstChapter > 0)
        out << indent << "before chapter 1: " << report.textBeforeFirstChapter
            << " characters, kept in the first file\n";
    if (!report.runs.empty())
        out << indent << "numbers:  " << report.describeRuns(kShownRuns) << '\n';
    for (std::size_t i = 0; i < report.issues.size() && i < kShownEntries; ++i) {
        const auto& issue = report.issues[i];
        out << indent << "  " << issueLabel(issue.kind) << ": " << issueText(issue) << " at "
            << nameOf(issue.chapter) << '\n';
    }
    printMore(out, report.issues.size(), indent);
    if (!report.unnumbered.empty() && report.chapters > 1) {
        out << indent << "no number: " << report.unnumbered.size() << " of " << report.chapters << " chapters\n";
        for (std::size_t i = 0; i < report.unnumbered.size() && i < kShownEntries; ++i)
            out << indent << "  " << nameOf(report.unnumbered[i]) << '\n';
        printMore(out, report.unnumbered.size(), indent);
    }
    if (report.overflowingNumbers > 0)
        out << indent << "numbers too large to read: " << report.overflowingNumbers << '\n';
    out << indent << "median length: " << report.medianLength << " characters\n";
    for (std::size_t i = 0; i < report.outliers.size() && i < kShownEntries; ++i) {
        const auto& outlier = report.outliers[i];
        out << indent << "  " << (outlier.kind == import::LengthOutlierKind::Short ? "short: " : "long:  ")
            << outlier.length << " characters in " << nameOf(outlier.chapter) << '\n';
    }
    printMore(out, report.outliers.size(), indent);
    out << indent << "verdict:  " << report.verdict() << '\n';
}

void printSuggestion(std::ostream& out, const std::optional<import::SplitSuggestion>& suggestion, bool applied,
                     const char* indent)
{
    if (!suggestion)
        return;
    const std::string options = import::commandLineOptions(suggestion->options);
    out << indent << (applied ? "applied:  " : "suggest:  ") << (options.empty() ? "(no options)" : options)
        << " gives " << suggestion->report.counts() << ", numbered " << suggestion->report.describeRuns(kShownRuns)
        << '\n';
    if (suggestion->report.suspicious)
        out << indent << "          then still " << suggestion->report.verdict() << '\n';
}

}  // namespace veyla::cli
