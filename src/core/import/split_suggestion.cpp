// SPDX-License-Identifier: MIT
#include "core/import/split_suggestion.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "core/util/utf16.h"

namespace veyla::import {

namespace {

bool hasAsciiLetter(std::u16string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); });
}

std::u16string asciiLower(std::u16string_view text)
{
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lower;
}

// The options a user can choose today, in the order they are preferred
// when several give a split that looks right.
std::vector<SplitOptions> alternativesTo(const SplitOptions& current)
{
    std::vector<SplitOptions> options;
    for (const Punctuation punctuation : {current.punctuation, Punctuation::Allowed, Punctuation::Forbidden}) {
        SplitOptions same = current;
        same.punctuation = punctuation;
        options.push_back(same);
        for (const MarkerHeading& heading : detectionMarkerHeadings()) {
            options.push_back({std::u16string(heading.prefix), std::u16string(heading.suffix), punctuation,
                               LetterCase::AsWritten});
            if (hasAsciiLetter(heading.prefix))
                options.push_back({asciiLower(heading.prefix), std::u16string(heading.suffix), punctuation,
                                   LetterCase::Either});
        }
    }
    return options;
}

// How many choices differ from the current ones: fewer is closer to what
// the user asked for.
int changesFrom(const SplitOptions& current, const SplitOptions& other)
{
    return (other.prefix != current.prefix || other.suffix != current.suffix ? 1 : 0) +
           (other.punctuation != current.punctuation ? 1 : 0) + (other.letterCase != current.letterCase ? 1 : 0);
}

// Two options that end in the same heading key, punctuation rule and case
// rule split a book the same way.
using SplitKey = std::tuple<std::u16string, std::u16string, HeadingSource, Punctuation, LetterCase>;

SplitKey keyOf(const HeadingStyle& style, const SplitOptions& options)
{
    // A user prefix and the marker it equals find the same headings.
    const HeadingSource source = style.source == HeadingSource::UserPrefix ? HeadingSource::Marker : style.source;
    return {style.prefix, style.suffix, source, options.punctuation, options.letterCase};
}

// Numbers that run from the start of the book: the suggestion has to say
// more than "no numbers, no complaint".
bool numbersRunFromStart(const SplitReport& report)
{
    return report.numbered >= 2 && !report.runs.empty() && report.runs.front().first <= 1;
}

// Everything the report found wrong, counted; a split that found no
// headings at all is worse than any split that did.
std::size_t problemsOf(const SplitReport& report, const HeadingStyle& style)
{
    const std::size_t noHeadings = style.source == HeadingSource::FixedPieces ? report.files + 1 : 0;
    return report.issues.size() + report.unnumbered.size() + report.outliers.size() + noHeadings;
}

// How alternatives are ranked: a split that looks right first, then the one
// with fewest problems, then the one closest to the user's choice; the
// earlier alternative wins a tie.
struct Rank {
    bool suspicious = true;
    std::size_t problems = 0;
    int changes = 0;

    bool operator<(const Rank& other) const
    {
        return std::tie(suspicious, problems, changes) < std::tie(other.suspicious, other.problems, other.changes);
    }
};

}  // namespace

std::string commandLineOptions(const SplitOptions& options)
{
    std::string line;
    const auto add = [&](const std::string& part) { line += (line.empty() ? "" : " ") + part; };
    if (!options.prefix.empty())
        add("--prefix " + utf16::toUtf8(options.prefix));
    if (!options.suffix.empty())
        add("--suffix " + utf16::toUtf8(options.suffix));
    if (options.punctuation == Punctuation::Forbidden)
        add("--no-punct");
    if (options.letterCase == LetterCase::Either)
        add("--ignore-case");
    return line;
}

std::optional<SplitSuggestion> suggestSplit(const std::shared_ptr<const std::u16string>& text,
                                            const SplitOptions& current, const SplitReport& currentReport)
{
    if (!currentReport.suspicious || text->size() < kShortTextLimit)
        return std::nullopt;
    const std::u16string_view source = *text;
    const std::u16string lower = asciiLower(source);
    const HeadingStyle currentStyle = chooseHeadingStyle(source, current);

    std::vector<SplitKey> tried{keyOf(currentStyle, current)};
    // Only an alternative with fewer problems than the current split is worth suggesting.
    Rank bestRank{true, problemsOf(currentReport, currentStyle), 0};
    std::optional<SplitSuggestion> best;
    for (const SplitOptions& options : alternativesTo(current)) {
        const int changes = changesFrom(current, options);
        if (best && !bestRank.suspicious && changes >= bestRank.changes)
            continue;
        const std::u16string_view searched = options.letterCase == LetterCase::Either ? std::u16string_view(lower) : source;
        // A prefix the text lacks falls back to detection: a split already tried.
        if (!options.prefix.empty() && utf16::find(searched, options.prefix, 0) == kNotFound)
            continue;
        const SplitKey key = keyOf(chooseHeadingStyle(source, options), options);
        if (std::find(tried.begin(), tried.end(), key) != tried.end())
            continue;
        tried.push_back(key);
        const ImportPlan plan = splitIntoChapters(u"book", text, options);
        SplitReport report = reportOnPlan(plan);
        const Rank rank{report.suspicious, problemsOf(report, plan.style), changes};
        if (!numbersRunFromStart(report) || !(rank < bestRank))
            continue;
        best = SplitSuggestion{options, plan.style, std::move(report)};
        bestRank = rank;
    }
    return best;
}

}  // namespace veyla::import
