// SPDX-License-Identifier: MIT
#include "cli/search_commands.h"

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <stop_token>

#include "cli/cli_context.h"
#include "cli/interrupt_watcher.h"
#include "cli/progress_bar.h"
#include "core/library/library_tree.h"
#include "core/search/library_miner.h"
#include "core/search/mining_results.h"
#include "core/search/name_search.h"
#include "core/util/utf16.h"

namespace veyla::cli {

namespace fs = std::filesystem;
using namespace search;

namespace {

std::string relativeText(const fs::path& path, const fs::path& library)
{
    const fs::path relative = path.lexically_relative(library);
    return relative.empty() || relative.native().rfind("..", 0) == 0 ? path.string() : relative.string();
}

std::string plural(std::size_t n, const char* word)
{
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The value a command-line word stands for, from a table of words.
template <typename T>
std::optional<T> named(const std::string& word, std::initializer_list<std::pair<const char*, T>> table)
{
    for (const auto& [name, value] : table) {
        if (word == name)
            return value;
    }
    return std::nullopt;
}

std::optional<MiningMode> modeNamed(const std::string& word)
{
    return named<MiningMode>(word, {{"word", MiningMode::Word},
                                    {"acrostic", MiningMode::Acrostic},
                                    {"sentence", MiningMode::Sentence},
                                    {"paragraph", MiningMode::Paragraph}});
}

std::optional<BookLimit> limitNamed(const std::string& word)
{
    return named<BookLimit>(word, {{"1", BookLimit::One}, {"4", BookLimit::Four}, {"10", BookLimit::Ten},
                                   {"all", BookLimit::All}});
}

void printSkipped(CliContext& context, const MiningOutcome& outcome)
{
    if (outcome.skipped.empty())
        return;
    context.out() << "skipped " << plural(outcome.skipped.size(), "chapter") << " that could not be read:\n";
    for (const auto& [path, error] : outcome.skipped)
        context.out() << "  " << relativeText(path, context.folders().libraryFolder()) << " ("
                      << errorCodeName(error.code) << ")\n";
}

}  // namespace

int runSearch(CliContext& context, const std::vector<std::string>& args)
{
    std::optional<std::string> from;
    Direction direction = Direction::Forward;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--from" && i + 1 < args.size())
            from = args[++i];
        else if (args[i] == "--backwards")
            direction = Direction::Backward;
        else if (args[i].rfind("--", 0) == 0)
            return context.usage("search", "unknown option " + args[i]);
        else
            words.push_back(args[i]);
    }
    if (words.size() != 1 || words[0].empty())
        return context.usage("search", "expects one text to find");
    const fs::path library = context.folders().libraryFolder();
    std::error_code ec;
    if (!fs::is_directory(library, ec))
        return context.fail("search", library.string() + ": no library folder");
    library::LibraryTree tree(library);
    NameSearch searcher(tree, utf16::fromUtf8(words[0]), direction, NodeScope::AllNodes);
    NameSearch::Node* node = nullptr;
    if (from) {
        NameSearch::Node* start = tree.findByPath(context.libraryPath(*from));
        if (start == nullptr)
            return context.fail("search", *from + ": not in the library");
        node = searcher.findAfter(start);
    } else {
        node = searcher.findFirst();
    }
    if (node == nullptr)
        return context.fail("search", "no book, folder or chapter name contains \"" + words[0] + "\"");
    for (; node != nullptr; node = searcher.findAfter(node))
        context.out() << relativeText(tree.pathOf(node), library) << '\n';
    return kExitOk;
}

namespace {

// What the mine command was asked for; error is set (with its exit code)
// when the arguments are wrong.
struct MineRequest {
    std::optional<MiningMode> mode;
    BookLimit limit = BookLimit::One;
    std::vector<std::string> positional;
    std::string error;
};

MineRequest readMineArguments(const std::vector<std::string>& args)
{
    MineRequest request;
    for (std::size_t i = 0; i < args.size() && request.error.empty(); ++i) {
        if (args[i] == "--mode" && i + 1 < args.size()) {
            if (!(request.mode = modeNamed(args[++i])))
                request.error = "--mode is word, acrostic, sentence or paragraph";
        } else if (args[i] == "--books" && i + 1 < args.size()) {
            const auto named = limitNamed(args[++i]);
            if (!named)
                request.error = "--books is 1, 4, 10 or all";
            request.limit = named.value_or(BookLimit::One);
        } else if (args[i].rfind("--", 0) == 0) {
            request.error = "unknown option " + args[i];
        } else {
            request.positional.push_back(args[i]);
        }
    }
    if (request.error.empty() && !request.mode)
        request.error = "--mode is needed";
    if (request.error.empty() && request.positional.size() != 2)
        request.error = "expects the keywords and a book, folder or chapter";
    return request;
}

// Writes the results and prints the summary line and the chapters skipped.
int storeAndSummarise(CliContext& context, const fs::path& start, MiningMode mode, const MiningOutcome& outcome,
                      std::chrono::steady_clock::time_point began)
{
    context.out() << "searched " << plural(outcome.books, "book") << ", "
                  << plural(outcome.chaptersSearched, "chapter") << "; " << plural(outcome.hitCount(), "hit");
    std::size_t written = 0;
    if (outcome.hitCount() > 0) {
        auto stored = storeMiningResults(start, mode, miningResultFiles(mode, outcome),
                                         platform::trashLocationsFor(context.folders().dataFolder));
        if (!stored) {
            context.out() << '\n';
            return context.fail("mine", stored.error());
        }
        written = stored->size();
    }
    char time[32];
    std::snprintf(time, sizeof time, "%.2f s",
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
    if (written > 0)
        context.out() << "; " << plural(written, "file") << " written to "
                      << relativeText(miningResultFolder(start, mode), context.folders().libraryFolder());
    else
        context.out() << " (书中无此信息); nothing written";
    context.out() << " in " << time << '\n';
    printSkipped(context, outcome);
    return kExitOk;
}

}  // namespace

int runMine(CliContext& context, const std::vector<std::string>& args)
{
    MineRequest request = readMineArguments(args);
    if (!request.error.empty())
        return context.usage("mine", request.error);
    auto query = makeMiningQuery(*request.mode, utf16::fromUtf8(request.positional[0]));
    if (!query)
        return context.usage("mine", "no keyword: write one or more, separated by , ， or 、");
    const fs::path start =
        miningStartFolder(context.libraryPath(request.positional[1]), context.folders().libraryFolder());
    std::error_code ec;
    if (!fs::is_directory(start, ec))
        return context.fail("mine", request.positional[1] + ": no such book or folder");

    const auto began = std::chrono::steady_clock::now();
    std::stop_source stop;
    InterruptWatcher watcher([&stop] { stop.request_stop(); });
    ProgressBar bar(context.out(), context.outputIsTerminal(), "mining");
    const HitFinder finder(std::move(*query));
    auto outcome = mineLibrary(start, finder, bookLimitCount(request.limit), stop.get_token(),
                               [&bar](std::size_t done, std::size_t total) { bar.update(done, total); });
    bar.finish();
    if (!outcome)
        return context.fail("mine", outcome.error());
    if (outcome->stopped) {
        context.err() << "veyla-cli: mine: stopped; nothing written\n";
        return kExitInterrupted;
    }
    return storeAndSummarise(context, start, *request.mode, *outcome, began);
}

}  // namespace veyla::cli
