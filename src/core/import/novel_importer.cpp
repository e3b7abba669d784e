// SPDX-License-Identifier: MIT
#include "core/import/novel_importer.h"

#include <algorithm>
#include <chrono>

#include "core/epub/epub_import.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::import {

namespace fs = std::filesystem;

namespace {

// Text files hold almost no control characters; decoded binary data
// (random bytes, images) holds many. One in a hundred is far beyond text.
bool looksLikeText(std::u16string_view text)
{
    std::size_t controls = 0;
    for (const char16_t c : text) {
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f' && c != u'\v') || c == 0xFFFD)
            ++controls;
    }
    return controls * 100 <= text.size();
}

// A GB18030 text whose last character was cut off ends in U+FFFD.
bool endsCutOff(const DecodedText& decoded)
{
    return decoded.encoding == TextEncoding::Ansi && !decoded.text.empty() && decoded.text.back() == 0xFFFD;
}

SplitOptions splitOptionsOf(const ImportOptions& options)
{
    return {options.prefix, options.suffix, options.punctuation, options.letterCase};
}

// Splits a whole text, checks the split and looks for a better one when it
// looks suspicious.
void splitAndCheck(PlannedBook& book, std::u16string_view bookName, std::u16string text,
                   const ImportOptions& options)
{
    const auto shared = std::make_shared<const std::u16string>(std::move(text));
    const SplitOptions split = splitOptionsOf(options);
    book.plan = splitIntoChapters(bookName, shared, split);
    book.report = reportOnPlan(book.plan);
    book.suggestion = suggestSplit(shared, split, book.report);
    if (book.suggestion && options.suggestion == SuggestionUse::Apply) {
        book.plan = splitIntoChapters(bookName, shared, book.suggestion->options);
        book.report = book.suggestion->report;
        book.suggestionApplied = true;
    }
}

Result<PlannedBook> planText(const fs::path& path, const ImportOptions& options)
{
    auto decoded = decodeTextFile(path);
    if (!decoded)
        return decoded.error();
    PlannedBook book;
    book.source = path;
    book.kind = SourceKind::Text;
    book.encoding = decoded->encoding;
    switch (decoded->result) {
    case DecodeResult::Failed:
        return Error{ErrorCode::Unsupported, path.string() + ": no text could be decoded"};
    case DecodeResult::SkippedWithNothing:
        if (decoded->encoding == TextEncoding::None && fs::file_size(path) > 0)
            return Error{ErrorCode::Unsupported, path.string() + ": starts with an incomplete UTF-8 byte-order mark"};
        return Error{ErrorCode::InvalidArgument, path.string() + ": empty file, nothing to import"};
    case DecodeResult::Done:
        break;
    }
    if (decoded->text.empty())
        return Error{ErrorCode::InvalidArgument, path.string() + ": no text left after removing markup"};
    if (!looksLikeText(decoded->text))
        return Error{ErrorCode::Unsupported, path.string() + ": does not look like a text file"};
    if (endsCutOff(*decoded))
        book.warnings.push_back("the last character is cut off");
    splitAndCheck(book, decoded->bookName, std::move(decoded->text), options);
    return book;
}

Result<PlannedBook> planEpub(const fs::path& path, const ImportOptions& options)
{
    auto epub = epub::readEpubForImport(path);
    if (!epub)
        return epub.error();
    PlannedBook book;
    book.source = path;
    book.kind = SourceKind::Epub;
    book.warnings = epub->warnings;
    if (epub->mode == epub::EpubImportMode::Catalog) {
        book.plan = std::move(epub->plan);
        book.report = reportOnPlan(book.plan);
    } else {
        splitAndCheck(book, epub->wholeText.bookName, std::move(epub->wholeText.text), options);
    }
    return book;
}

bool hasChapters(const ImportPlan& plan)
{
    return std::any_of(plan.nodes.begin(), plan.nodes.end(), [](const PlannedNode& n) { return n.kind == NodeKind::Chapter; });
}

}  // namespace

Result<PlannedBook> planNovelFile(const fs::path& path, const ImportOptions& options)
{
    std::error_code ec;
    if (!fs::exists(path, ec))
        return Error{ErrorCode::FileUnavailable, path.string() + ": no such file"};
    if (fs::is_directory(path, ec))
        return Error{ErrorCode::InvalidArgument, path.string() + ": is a folder"};
    return epub::isEpubPath(path) ? planEpub(path, options) : planText(path, options);
}

Result<BookReport> importNovelFile(const fs::path& path, const fs::path& target, const ImportOptions& options,
                                   std::stop_token stop, const PlanProgress& progress)
{
    const auto start = std::chrono::steady_clock::now();
    auto planned = planNovelFile(path, options);
    if (!planned)
        return planned.error();
    BookReport report;
    report.source = path;
    report.kind = planned->kind;
    report.encoding = planned->encoding;
    report.style = planned->plan.style;
    report.warnings = planned->warnings;
    report.splitReport = std::move(planned->report);
    report.suggestion = std::move(planned->suggestion);
    report.suggestionApplied = planned->suggestionApplied;
    report.warnings.insert(report.warnings.end(), planned->plan.warnings.begin(), planned->plan.warnings.end());
    if (!hasChapters(planned->plan))
        report.warnings.push_back("no chapter could be confirmed; the book folder is empty");
    auto written = writePlan(planned->plan, target, progress, stop);
    if (!written)
        return written.error();
    report.written = std::move(*written);
    report.imported = !report.written.topLevel.empty();
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

FolderReport importNovelFolder(const fs::path& folder, const fs::path& target, const ImportOptions& options,
                               const FileDone& fileDone, std::stop_token stop)
{
    FolderReport report;
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
    for (const auto& entry : entries) {
        if (stop.stop_requested())
            break;
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(ec)) {
            const fs::path sub = target / entry.path().filename();
            fs::create_directories(sub, ec);
            ++report.folders;
            FolderReport inner = importNovelFolder(entry.path(), sub, options, fileDone, stop);
            report.folders += inner.folders;
            std::move(inner.books.begin(), inner.books.end(), std::back_inserter(report.books));
            std::move(inner.failures.begin(), inner.failures.end(), std::back_inserter(report.failures));
        } else if (name.find(".txt") != std::string::npos) {
            auto book = importNovelFile(entry.path(), target, options, stop);
            if (fileDone)
                fileDone(entry.path(), book);
            if (book)
                report.books.push_back(std::move(*book));
            else
                report.failures.emplace_back(entry.path(), book.error());
        }
    }
    return report;
}

const char* encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::None: return "none";
    case TextEncoding::Utf8WithMark: return "UTF-8 with byte-order mark";
    case TextEncoding::Utf16LittleEndian: return "UTF-16LE";
    case TextEncoding::Utf16BigEndian: return "UTF-16BE";
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Ansi: return "GB18030 (GBK)";
    }
    return "unknown";
}

std::string describeStyle(const HeadingStyle& style)
{
    const std::string prefix = utf16::toUtf8(style.prefix);
    const std::string suffix = utf16::toUtf8(style.suffix);
    const std::string pair = "prefix \"" + prefix + "\"" + (suffix.empty() ? "" : ", suffix \"" + suffix + "\"");
    switch (style.source) {
    case HeadingSource::ShortText: return "short text, one chapter";
    case HeadingSource::UserPrefix: return "user headings: " + pair;
    case HeadingSource::Marker: return "headings: " + pair;
    case HeadingSource::EveryShortLine: return "every short line is a heading";
    case HeadingSource::ArabicNumbers: return "fallback: Arabic chapter numbers";
    case HeadingSource::RomanNumerals: return "fallback: Roman numerals";
    case HeadingSource::FixedPieces: return "fallback: fixed pieces of 9000 characters";
    case HeadingSource::EpubCatalog: return "the EPUB's table of contents";
    }
    return "unknown";
}

}  // namespace veyla::import
