// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/import/chapter_splitter.h"
#include "core/import/import_plan.h"
#include "core/import/plan_writer.h"
#include "core/import/split_report.h"
#include "core/import/split_suggestion.h"
#include "core/import/text_decoder.h"
#include "core/util/result.h"

namespace veyla::import {

// What to do with a better split found for a book whose split looks suspicious.
enum class SuggestionUse {
    Offer,  // plan with the user's options and report the suggestion
    Apply,  // plan with the suggested options instead
};

// What the user chose for an import.
struct ImportOptions {
    std::u16string prefix;  // heading prefix the user gave; may be empty
    std::u16string suffix;  // heading suffix the user gave; may be empty
    Punctuation punctuation = Punctuation::Allowed;
    LetterCase letterCase = LetterCase::AsWritten;
    SuggestionUse suggestion = SuggestionUse::Offer;
};

enum class SourceKind { Text, Epub };

// A book planned in memory: what an import would write.
struct PlannedBook {
    std::filesystem::path source;
    SourceKind kind = SourceKind::Text;
    TextEncoding encoding = TextEncoding::None;  // text files only
    ImportPlan plan;
    std::vector<std::string> warnings;
    // The check of the plan, and a better split when it looks suspicious.
    SplitReport report;
    std::optional<SplitSuggestion> suggestion;
    bool suggestionApplied = false;  // plan was made with suggestion->options
};

// One file's import.
struct BookReport {
    std::filesystem::path source;
    SourceKind kind = SourceKind::Text;
    TextEncoding encoding = TextEncoding::None;
    HeadingStyle style;
    WrittenPlan written;
    std::vector<std::string> warnings;
    SplitReport splitReport;
    std::optional<SplitSuggestion> suggestion;
    bool suggestionApplied = false;
    bool imported = false;  // something was written
    double seconds = 0;     // time taken to read, plan and write
};

// Reads and plans one novel without writing anything, and checks the plan.
// A path containing ".epub" (lower case) is read as an EPUB book, any other as text.
// Fails for a missing or unreadable file, an empty file, a file that starts
// with an incomplete UTF-8 byte-order mark, bytes that are not text, and an
// EPUB that cannot be opened.
Result<PlannedBook> planNovelFile(const std::filesystem::path& path, const ImportOptions& options);

// Plans and writes one novel under target (a folder of the library).
Result<BookReport> importNovelFile(const std::filesystem::path& path, const std::filesystem::path& target,
                                   const ImportOptions& options, std::stop_token stop = {},
                                   const PlanProgress& progress = {});

struct FolderReport {
    std::vector<BookReport> books;
    std::vector<std::pair<std::filesystem::path, Error>> failures;
    int folders = 0;
};

// Called after each file of a folder walk, imported or not.
using FileDone = std::function<void(const std::filesystem::path& file, const Result<BookReport>& report)>;

// Walks a folder: each sub-folder becomes a folder under target (an
// existing one is reused) and is walked the same way; each file whose name
// contains ".txt" (lower case) is imported; other files, EPUB books
// included, are left alone. Entries are taken in name order.
FolderReport importNovelFolder(const std::filesystem::path& folder, const std::filesystem::path& target,
                               const ImportOptions& options, const FileDone& fileDone = {}, std::stop_token stop = {});

// Names for reports and the command-line tool.
const char* encodingName(TextEncoding encoding);
std::string describeStyle(const HeadingStyle& style);

}  // namespace veyla::import
