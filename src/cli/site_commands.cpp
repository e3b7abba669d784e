// SPDX-License-Identifier: MIT
#include "cli/site_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <set>

#include "cli/cli_context.h"
#include "cli/interrupt_watcher.h"
#include "cli/progress_bar.h"
#include "core/import/text_decoder.h"
#include "core/output/site_generator.h"
#include "core/output/site_scripts.h"
#include "core/output/vocabulary.h"
#include "core/platform/shell_open.h"
#include "core/update/update_site.h"
#include "core/util/utf16.h"
#include "core/view/colour_schemes.h"
#include "core/view/display_settings.h"

namespace veyla::cli {

namespace fs = std::filesystem;

namespace {

// The font families fontconfig knows, every name of each (the localised
// ones included), sorted; none when fc-list cannot be run.
std::vector<std::u16string> fontFamilies()
{
    std::set<std::u16string> names;
    FILE* pipe = popen("fc-list : family 2>/dev/null", "r");
    if (pipe == nullptr)
        return {};
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        std::size_t start = 0;
        while (start <= line.size()) {
            const std::size_t comma = std::min(line.find(',', start), line.size());
            if (comma > start)
                names.insert(utf16::fromUtf8(line.substr(start, comma - start)));
            start = comma + 1;
        }
    }
    pclose(pipe);
    return {names.begin(), names.end()};
}

struct SiteArguments {
    output::SiteMode mode = output::SiteMode::Chapters;
    bool english = false;
    bool open = false;
    int pageSize = 0;  // 0: the setting
    std::vector<std::string> positional;
    std::string problem;
};

SiteArguments parseSiteArguments(const std::vector<std::string>& args)
{
    SiteArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--whole") {
            parsed.mode = output::SiteMode::WholeBook;
        } else if (arg == "--english") {
            parsed.english = true;
        } else if (arg == "--open") {
            parsed.open = true;
        } else if (arg == "--page-size") {
            if (i + 1 >= args.size()) {
                parsed.problem = "--page-size needs a number";
                return parsed;
            }
            const long long n = utf16::toInteger(utf16::fromUtf8(args[++i]));
            if (n < 1 || n > 100000) {
                parsed.problem = "--page-size takes a number from 1 to 100000";
                return parsed;
            }
            parsed.pageSize = static_cast<int>(n);
        } else if (arg.size() > 1 && arg.front() == '-') {
            parsed.problem = "unknown option " + arg;
            return parsed;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    if (parsed.positional.size() != 1)
        parsed.problem = "expects one book, folder or chapter of the library";
    return parsed;
}

}  // namespace

int runSite(CliContext& context, const std::vector<std::string>& args)
{
    const SiteArguments arguments = parseSiteArguments(args);
    if (!arguments.problem.empty())
        return context.usage("site", arguments.problem);
    const auto& folders = context.folders();
    library::LibraryTree tree(folders.libraryFolder());
    library::LibraryTree::Node* item = tree.findByPath(context.libraryPath(arguments.positional.front()));
    if (item == nullptr)
        return context.fail("site", arguments.positional.front() + ": not in the library");
    const output::SitePlan plan = output::planSite(tree, item);
    if (plan.folders.empty())
        return context.fail("site", arguments.positional.front() + ": holds no chapters");

    output::SiteOptions options;
    options.mode = arguments.mode;
    options.pageSize =
        arguments.pageSize > 0 ? arguments.pageSize : view::readDisplaySettings(folders).webPageSize;
    output::applySiteMarkers(folders.dataFolder, options);
    if (const std::string site = update::readSiteSetting(folders.controlFile("preSet.ini")); !site.empty())
        options.style.publisherSite = utf16::fromUtf8(site);
    output::Vocabulary vocabulary;
    if (arguments.english) {
        vocabulary = output::Vocabulary::load(folders.programControl("eng"));
        if (vocabulary.empty())
            context.err() << "veyla-cli: site: no English word lists in " << folders.programControl("eng").string()
                          << "; pages are not annotated\n";
        options.style.vocabulary = &vocabulary;
    }

    for (const auto& [path, error] : output::installSiteScripts(folders.programFolder, folders.dataFolder).failures)
        context.err() << "veyla-cli: site: " << path.string() << ": " << error.detail << '\n';
    const Status font = output::writeFontScript(folders.dataFolder, fontFamilies(),
                                                view::ColourSchemes::read(folders).schemes());
    if (!font)
        context.err() << "veyla-cli: site: font.js: " << font.error().detail << '\n';

    std::stop_source stop;
    InterruptWatcher watcher([&] {
        stop.request_stop();
        context.err() << "\nveyla-cli: site: stopping after the current page\n";
    });
    const auto start = std::chrono::steady_clock::now();
    output::SiteResult result;
    {
        ProgressBar bar(context.out(), context.outputIsTerminal(), "site");
        result = output::generateSite(plan, folders.dataFolder, options, stop.get_token(),
                                      [&](const output::SiteProgress& step) { bar.update(step.done, step.total); });
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char line[200];
    std::snprintf(line, sizeof line, "%d pages written, %d kept (already there), %d index pages, %zu failed%s; took %.2f s\n",
                  result.pagesWritten, result.pagesKept, result.indexPagesWritten, result.failures.size(),
                  result.stopped ? " (stopped)" : "", seconds);
    context.out() << line;
    if (!result.indexPage.empty())
        context.out() << "index page: " << result.indexPage.string() << '\n';
    for (const auto& [path, error] : result.failures)
        context.fail("site", path.string() + ": " + error.detail);
    if (arguments.open && !result.indexPage.empty() && !result.stopped) {
        const Status opened = platform::openInBrowser(result.indexPage);
        if (!opened)
            context.fail("site", "cannot open the browser: " + opened.error().detail);
    }
    if (!result.failures.empty())
        return kExitFailure;
    return result.stopped ? kExitInterrupted : kExitOk;
}

int runAnnotate(CliContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 1 || (args.front().size() > 1 && args.front().front() == '-'))
        return context.usage("annotate", "expects one text file");
    std::error_code error;
    if (!fs::is_regular_file(args.front(), error))
        return context.fail("annotate", args.front() + ": no such file");
    auto decoded = import::decodeTextFile(args.front());
    if (!decoded)
        return context.fail("annotate", args.front() + ": " + decoded.error().detail);
    const auto folder = context.folders().programControl("eng");
    const output::Vocabulary vocabulary = output::Vocabulary::load(folder);
    if (vocabulary.empty())
        return context.fail("annotate", "no English word lists in " + folder.string());
    const std::u16string& text = decoded->text;
    for (TextPos pos = 0; pos < static_cast<TextPos>(text.size());) {
        const TextPos end = utf16::lineEndOf(pos, text);
        const std::u16string_view line(text.data() + pos, static_cast<std::size_t>(end - pos));
        context.out() << utf16::toUtf8(vocabulary.annotate(line)) << '\n';
        pos = end;
    }
    return kExitOk;
}

}  // namespace veyla::cli
