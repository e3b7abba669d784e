// SPDX-License-Identifier: MIT
#include "cli/import_commands.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>

#include "cli/cli_context.h"
#include "cli/progress_bar.h"
#include "cli/split_report_printer.h"
#include "core/import/novel_importer.h"
#include "core/util/utf16.h"

namespace veyla::cli {

namespace fs = std::filesystem;

namespace {

struct ImportArguments {
    import::ImportOptions options;
    std::string into;
    bool dryRun = false;
    bool fullReport = false;
    std::vector<std::string> paths;
    std::string problem;
};

ImportArguments parseArguments(const std::vector<std::string>& args, bool allowInto, bool allowDryRun)
{
    ImportArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                parsed.problem = arg + " needs a value";
            else
                out = args[++i];
        };
        std::string text;
        if (arg == "--prefix") {
            value(text);
            parsed.options.prefix = utf16::fromUtf8(text);
        } else if (arg == "--suffix") {
            value(text);
            parsed.options.suffix = utf16::fromUtf8(text);
        } else if (arg == "--no-punct") {
            parsed.options.punctuation = import::Punctuation::Forbidden;
        } else if (arg == "--ignore-case") {
            parsed.options.letterCase = import::LetterCase::Either;
        } else if (arg == "--apply-suggestion") {
            parsed.options.suggestion = import::SuggestionUse::Apply;
        } else if (arg == "--report" && allowInto) {
            parsed.fullReport = true;
        } else if (arg == "--into" && allowInto) {
            value(parsed.into);
        } else if (arg == "--dry-run" && allowDryRun) {
            parsed.dryRun = true;
        } else if (arg.rfind("--", 0) == 0) {
            parsed.problem = "unknown option " + arg;
        } else {
            parsed.paths.push_back(arg);
        }
        if (!parsed.problem.empty())
            break;
    }
    return parsed;
}

std::string relativeToLibrary(const CliContext& context, const fs::path& path)
{
    const fs::path relative = path.lexically_relative(context.folders().libraryFolder());
    return relative.empty() || *relative.begin() == ".." ? path.string() : relative.string();
}

void printBook(CliContext& context, const import::BookReport& book, bool fullReport)
{
    auto& out = context.out();
    for (const auto& top : book.written.topLevel)
        out << relativeToLibrary(context, top) << '\n';
    out << "  source:   " << book.source.string() << '\n';
    if (book.kind == import::SourceKind::Text)
        out << "  encoding: " << import::encodingName(book.encoding) << '\n';
    out << "  style:    " << import::describeStyle(book.style) << '\n';
    char line[96];
    std::snprintf(line, sizeof line, "  chapters: %d files in %.2f s\n", book.written.chapterFiles, book.seconds);
    out << line;
    for (const auto& warning : book.warnings)
        out << "  warning:  " << warning << '\n';
    if (fullReport)
        printSplitReport(out, book.splitReport, "  ");
    else
        out << "  verdict:  " << book.splitReport.verdict() << '\n';
    if (book.splitReport.suspicious || book.suggestionApplied)
        printSuggestion(out, book.suggestion, book.suggestionApplied, "  ");
}

// Imports one file under target, printing the report; returns whether it worked.
bool importFile(CliContext& context, const fs::path& file, const fs::path& target,
                const import::ImportOptions& options, bool fullReport)
{
    ProgressBar bar(context.out(), context.outputIsTerminal(), file.filename().string());
    auto book = import::importNovelFile(file, target, options, {},
                                        [&](std::size_t done, std::size_t total) { bar.update(done, total); });
    bar.finish();
    if (!book) {
        context.fail("import", book.error());
        return false;
    }
    printBook(context, *book, fullReport);
    return true;
}

}  // namespace

int runImport(CliContext& context, const std::vector<std::string>& args)
{
    const ImportArguments parsed = parseArguments(args, true, false);
    if (!parsed.problem.empty())
        return context.usage("import", parsed.problem);
    if (parsed.paths.empty())
        return context.usage("import", "expects at least one file or folder");
    const fs::path target = context.folders().libraryFolder() / fs::path(parsed.into).relative_path();
    std::error_code ec;
    fs::create_directories(target, ec);
    if (!fs::is_directory(target, ec))
        return context.fail("import", target.string() + ": cannot make this folder");

    bool allGood = true;
    for (const auto& argument : parsed.paths) {
        const fs::path path = fs::absolute(argument, ec);
        if (!fs::is_directory(path, ec)) {
            allGood = importFile(context, path, target, parsed.options, parsed.fullReport) && allGood;
            continue;
        }
        // A folder becomes a folder of the library holding its books.
        const fs::path folder = target / path.filename();
        fs::create_directories(folder, ec);
        const auto report = import::importNovelFolder(
            path, folder, parsed.options, [&](const fs::path& file, const Result<import::BookReport>& book) {
                if (book)
                    printBook(context, *book, parsed.fullReport);
                else
                    context.fail("import", file.string() + ": " + book.error().detail);
            });
        context.out() << relativeToLibrary(context, folder) << ": " << report.books.size() << " books, "
                      << report.failures.size() << " failed\n";
        allGood = allGood && report.failures.empty();
    }
    return allGood ? kExitOk : kExitFailure;
}

int runSplit(CliContext& context, const std::vector<std::string>& args)
{
    const ImportArguments parsed = parseArguments(args, false, true);
    if (!parsed.problem.empty())
        return context.usage("split", parsed.problem);
    if (!parsed.dryRun)
        return context.usage("split", "only plans a split: give --dry-run (veyla-cli import writes)");
    if (parsed.paths.size() != 1)
        return context.usage("split", "expects one file");
    auto planned = import::planNovelFile(parsed.paths.front(), parsed.options);
    if (!planned)
        return context.fail("split", planned.error());
    auto& out = context.out();
    if (planned->kind == import::SourceKind::Text)
        out << "encoding: " << import::encodingName(planned->encoding) << '\n';
    else
        out << "encoding: EPUB\n";
    out << "style:    " << import::describeStyle(planned->plan.style) << '\n';
    std::size_t chapters = 0;
    for (const auto& node : planned->plan.nodes) {
        std::string path = utf16::toUtf8(node.name);
        for (int p = node.parent; p >= 0; p = planned->plan.nodes[static_cast<std::size_t>(p)].parent)
            path = utf16::toUtf8(planned->plan.nodes[static_cast<std::size_t>(p)].name) + "/" + path;
        if (node.kind == import::NodeKind::Folder) {
            out << path << "/\n";
            continue;
        }
        ++chapters;
        const std::u16string_view text = node.text;
        std::u16string_view first = text.substr(0, text.find(u'\n'));
        first = utf16::trim(first, u" \t\r\u3000");
        if (first.size() > 40)
            first = first.substr(0, 40);
        char length[32];
        std::snprintf(length, sizeof length, "%8zu  ", text.size());
        out << length << path << "  " << utf16::toUtf8(first) << '\n';
    }
    out << chapters << " chapter files\n";
    for (const auto& warning : planned->warnings)
        out << "warning: " << warning << '\n';
    out << "report:\n";
    printSplitReport(out, planned->report, "  ");
    printSuggestion(out, planned->suggestion, planned->suggestionApplied, "  ");
    return kExitOk;
}

}  // namespace veyla::cli
