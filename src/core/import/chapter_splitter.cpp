// SPDX-License-Identifier: MIT
#include "core/import/chapter_splitter.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/import/chapter_naming.h"
#include "core/import/numbering_fallbacks.h"
#include "core/import/plan_builder.h"

namespace veyla::import {

namespace {


constexpr std::size_t kLongChapter = 60000;
constexpr std::size_t kChapterPartSize = 30000;

// White space trimmed from a book name before it names a folder.
constexpr std::u16string_view kWhiteSpace = u" \t\n\v\f\r\u00A0\u3000";

// A built-in way of writing chapter headings: the first occurrence of any of
// its keys from `from` decides whether the book uses it.
struct Marker {
    std::array<std::u16string_view, 5> keys;  // unused entries are empty
    TextPos from;
    Leniency leniency;
    std::u16string_view prefix;
    std::u16string_view suffix;
};

// Tried in this order; the first accepted marker gives the heading style.
const std::array<Marker, 13>& markers()
{
    static const std::array<Marker, 13> kMarkers{{
        {{u"第二章", u"第 二 章", u"第2章", u"第02章", u"第002章"}, 500, Leniency::Lenient, u"第", u"章"},
        {{u"第二回", u"第 二 回", u"第2回", u"第02回", u"第002回"}, 500, Leniency::Lenient, u"第", u"回"},
        {{u"第二卷", u"第 二 卷", u"第2卷", u"第02卷", u"第002卷"}, 500, Leniency::Lenient, u"第", u"卷"},
        {{u"第二传", u"第 二 传", u"第2传", u"第02传", u"第002传"}, 500, Leniency::Lenient, u"第", u"传"},
        {{u"第二则", u"第 二 则", u"第2则", u"第02则", u"第002则"}, 500, Leniency::Lenient, u"第", u"则"},
        {{u"卷二", u"卷2"}, 3000, Leniency::Lenient, u"卷", u""},
        {{u"卷之"}, 1000, Leniency::Strict, u"卷之", u""},
        {{u"第"}, 500, Leniency::Strict, u"第", u""},
        {{u"志"}, 500, Leniency::Strict, u"志", u""},
        {{u"CHAPTER"}, 500, Leniency::Lenient, u"CHAPTER", u""},
        {{u"●"}, 500, Leniency::Strict, u"●", u""},
        {{u"○"}, 500, Leniency::Strict, u"○", u""},
        {{u"Chapter"}, 500, Leniency::Lenient, u"Chapter", u""},
    }};
    return kMarkers;
}

// The index of the marker that holds for the whole book.
constexpr std::size_t kVolumeMarker = 5;

std::u16string_view afterLastSeparator(std::u16string_view path)
{
    const auto separator = path.find_last_of(u"/\\");
    return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

// A folder name that cannot leave or vanish into the import target.
std::u16string bookFolderName(std::u16string_view bookName)
{
    std::u16string name(utf16::trim(bookName, kWhiteSpace));
    if (name.find_first_not_of(u'.') == std::u16string::npos)
        name.insert(0, u"_");
    return name;
}

// The user's prefix is accepted at its first occurrence that passes the
// test; only the very first occurrence gets the lenient test.
bool userPrefixMatches(std::u16string_view text, const SplitOptions& options)
{
    const HeadingKey key{options.prefix, options.suffix};
    TextPos p = utf16::find(text, options.prefix, 0);
    Leniency leniency = Leniency::Lenient;
    while (p != kNotFound && isRejectedHeading(p, text, key, leniency, options.punctuation)) {
        p = utf16::find(text, options.prefix, p + 1);
        leniency = Leniency::Strict;
    }
    return p != kNotFound;
}

// ASCII letters in lower case; everything else, and so every position, unchanged.
std::u16string asciiLowerCase(std::u16string_view text)
{
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lower;
}

HeadingStyle detectHeadingStyle(std::u16string_view text, const SplitOptions& options)
{
    if (!options.prefix.empty() && userPrefixMatches(text, options))
        return {HeadingSource::UserPrefix, options.prefix, options.suffix};
    const bool eitherCase = options.letterCase == LetterCase::Either;
    const auto& table = markers();
    for (std::size_t m = 0; m < table.size(); ++m) {
        const Marker& marker = table[m];
        for (const std::u16string_view key : marker.keys) {
            if (key.empty())
                break;
            const TextPos at = utf16::find(text, eitherCase ? asciiLowerCase(key) : std::u16string(key), marker.from);
            if (isRejectedHeading(at, text, HeadingKey{}, marker.leniency, options.punctuation))
                continue;
            std::u16string suffix(marker.suffix);
            if (m == kVolumeMarker && utf16::contains(text, u"卷一·"))
                suffix = u"·";
            std::u16string prefix(marker.prefix);
            return {HeadingSource::Marker, eitherCase ? asciiLowerCase(prefix) : prefix, std::move(suffix)};
        }
    }
    return {HeadingSource::EveryShortLine, {}, {}};
}

// Records what the first chapter holds besides its own text: the text
// before its heading line, and whether lines after it that pass as headings
// were passed over as entries of a table of contents (closely spaced, or
// each followed by another within the lookahead).
void noteFirstChapter(std::u16string_view match, const HeadingKey& key, Punctuation punctuation, TextPos first,
                      TextPos second, ImportPlan& plan)
{
    plan.firstHeading = static_cast<std::size_t>(utf16::lineStartOf(first, match));
    if (key.prefix.empty() || second == kNotFound)
        return;
    for (TextPos p = utf16::find(match, key.prefix, utf16::lineEndOf(first, match)); p != kNotFound && p < second;
         p = utf16::find(match, key.prefix, p + 1)) {
        if (!isRejectedHeading(p, match, key, Leniency::Strict, punctuation)) {
            plan.firstChapterHoldsContents = true;
            return;
        }
    }
}

// Writes every chapter from the first heading on; the first chapter starts
// at 0 so a preface and a table of contents stay in it. Headings are found
// in match, which is text itself or text with its letters in one case;
// titles and contents are taken from text.
void splitAtHeadings(std::u16string_view text, std::u16string_view match, const HeadingKey& key,
                     Punctuation punctuation, TextPos first, TextPos cursor, PlanBuilder& builder, ImportPlan& plan)
{
    TextPos position = first;
    for (int counter = 1;; ++counter) {
        const std::u16string title = headingTitleAt(position, text);
        const TextPos start = counter == 1 ? 0 : utf16::lineStartOf(position, text);
        const TextPos from = counter == 1 ? cursor - 1 : utf16::lineEndOf(position, text);
        const TextPos next = findNextHeading(from, key, match, punctuation);
        if (counter == 1)
            noteFirstChapter(match, key, punctuation, first, next, plan);
        const TextPos end = next == kNotFound ? static_cast<TextPos>(text.size()) : std::max(next, start);
        const std::u16string_view content = text.substr(start, end - start);
        const std::u16string name = zeroPadded(counter, 4) + u"_" + fileNameForm(title);
        if (content.size() > kLongChapter)
            builder.splitLongChapter(name, content, kChapterPartSize, title);
        else
            builder.addChapter(name, content, title);
        if (next == kNotFound)
            return;
        position = next;
    }
}

void splitWithoutHeadings(std::u16string_view text, HeadingStyle& style, Punctuation punctuation,
                          PlanBuilder& builder, std::vector<std::string>& warnings)
{
    const HeadingKey key{style.prefix, style.suffix};
    switch (splitByArabicNumbers(text, key, punctuation, builder)) {
    case ArabicOutcome::Split:
        style = {HeadingSource::ArabicNumbers, {}, style.suffix};
        return;
    case ArabicOutcome::NothingWritten:
        style = {HeadingSource::ArabicNumbers, {}, style.suffix};
        warnings.emplace_back("no numbered chapter heading could be confirmed; the book has no chapters");
        return;
    case ArabicOutcome::CannotStart:
        break;
    }
    if (splitByRomanNumerals(text, builder)) {
        style = {HeadingSource::RomanNumerals, {}, {}};
        return;
    }
    splitIntoFixedPieces(text, builder);
    style = {HeadingSource::FixedPieces, {}, {}};
}

}  // namespace

HeadingStyle chooseHeadingStyle(std::u16string_view text, const SplitOptions& options)
{
    if (options.letterCase == LetterCase::AsWritten)
        return detectHeadingStyle(text, options);
    SplitOptions lower = options;
    lower.prefix = asciiLowerCase(options.prefix);
    lower.suffix = asciiLowerCase(options.suffix);
    return detectHeadingStyle(asciiLowerCase(text), lower);
}

std::vector<MarkerHeading> detectionMarkerHeadings()
{
    std::vector<MarkerHeading> headings;
    for (std::size_t m = 0; m < markers().size(); ++m) {
        headings.push_back({markers()[m].prefix, markers()[m].suffix});
        if (m == kVolumeMarker)
            headings.push_back({markers()[m].prefix, u"·"});
    }
    return headings;
}

ImportPlan splitIntoChapters(std::u16string_view bookName, std::u16string_view text, const SplitOptions& options)
{
    return splitIntoChapters(bookName, std::make_shared<const std::u16string>(text), options);
}

ImportPlan splitIntoChapters(std::u16string_view bookName, std::shared_ptr<const std::u16string> source,
                             const SplitOptions& options)
{
    ImportPlan plan;
    const std::u16string_view text = *source;
    plan.texts.push_back(std::move(source));
    PlanBuilder builder(plan, text);
    const std::u16string_view name = afterLastSeparator(bookName);
    if (text.size() < kShortTextLimit) {
        builder.addTopLevelChapter(std::u16string(name) + u".xml", text);
        plan.style = {HeadingSource::ShortText, {}, {}};
        return plan;
    }
    builder.addBookFolder(bookFolderName(name));

    std::u16string lowerCase;
    std::u16string_view match = text;
    SplitOptions matchOptions = options;
    if (options.letterCase == LetterCase::Either) {
        lowerCase = asciiLowerCase(text);
        match = lowerCase;
        matchOptions.prefix = asciiLowerCase(options.prefix);
        matchOptions.suffix = asciiLowerCase(options.suffix);
    }
    plan.style = detectHeadingStyle(match, matchOptions);
    const HeadingKey key{plan.style.prefix, plan.style.suffix};
    TextPos cursor = 0;
    const TextPos first = findFirstHeading(cursor, key, match, options.punctuation);
    if (first == kNotFound)
        splitWithoutHeadings(text, plan.style, options.punctuation, builder, plan.warnings);
    else
        splitAtHeadings(text, match, key, options.punctuation, first, cursor, builder, plan);
    return plan;
}

}  // namespace veyla::import
