// SPDX-License-Identifier: MIT
#include "cli/update_commands.h"

#include <unistd.h>

#include <atomic>
#include <optional>
#include <ostream>

#include "cli/cli_context.h"
#include "cli/interrupt_watcher.h"
#include "cli/progress_bar.h"
#include "core/platform/file_io.h"
#include "core/platform/http_transport.h"
#include "core/update/byte_size.h"
#include "core/update/catalogue.h"
#include "core/update/update_checker.h"
#include "core/update/update_site.h"
#include "core/util/utf16.h"

namespace veyla::cli {

namespace fs = std::filesystem;
using namespace update;

namespace {

struct SiteOptions {
    std::optional<std::string> site;
    std::optional<std::string> program;
    std::optional<std::string> download;
};

// Parses --site, and the options a command allows besides; an error text on bad input.
std::optional<std::string> parseOptions(const std::vector<std::string>& args, SiteOptions& options,
                                        bool allowProgram, bool allowDownload)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string>* slot = nullptr;
        if (arg == "--site")
            slot = &options.site;
        else if (arg == "--program" && allowProgram)
            slot = &options.program;
        else if (arg == "--download" && allowDownload)
            slot = &options.download;
        if (slot == nullptr)
            return "unknown argument " + arg;
        if (i + 1 >= args.size())
            return arg + " needs a value";
        *slot = args[++i];
    }
    return std::nullopt;
}

std::string siteOf(const CliContext& context, const SiteOptions& options)
{
    if (options.site) {
        std::string site = *options.site;
        while (!site.empty() && site.back() == '/')
            site.pop_back();
        return site;
    }
    return readSiteSetting(context.folders().controlFile("preSet.ini"));
}

fs::path runningFolder()
{
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path();
}

// The desktop program the check speaks for: a program beside veyla-cli
// whose name holds "小说" (a portable copy that opted in), else "veyla".
fs::path desktopProgram()
{
    const fs::path folder = runningFolder();
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec)) {
        if (item.is_regular_file(ec) && executableMayUpdate(item.path()) && item.path().extension() != ".PRE" &&
            ::access(item.path().c_str(), X_OK) == 0)
            return item.path();
    }
    return folder / "veyla";
}

constexpr std::string_view kNoSite =
    "no site address is set ([Update] Site in control/preSet.ini of the data folder, or --site URL);\n"
    "no request was made\n";

}  // namespace

int runUpdateCheck(CliContext& context, const std::vector<std::string>& args)
{
    SiteOptions options;
    if (auto bad = parseOptions(args, options, true, false))
        return context.usage("update-check", *bad);
    auto transport = platform::makeCurlTransport();
    UpdateContext update;
    update.folders = context.folders();
    update.executable = options.program ? fs::absolute(*options.program) : desktopProgram();
    update.site = siteOf(context, options);
    UpdateChecker checker(*transport, update);
    const CheckReport report = checker.check();

    auto& out = context.out();
    out << "own build: " << report.ownBuild << '\n';
    switch (report.outcome) {
    case CheckOutcome::NotThisProgram:
        out << "latest build: not checked\n"
            << "the program " << update.executable.filename().string()
            << " does not update itself: its file name does not contain 小说\n"
               "(a package manager updates it; rename a portable copy's program to opt in)\n";
        return kExitOk;
    case CheckOutcome::NoSite:
        out << "latest build: not checked\n" << kNoSite;
        return kExitOk;
    case CheckOutcome::Busy:
    case CheckOutcome::NoInformation:
        out << "latest build: unknown\n";
        return context.fail("update-check", "the update information could not be fetched: " + report.detail);
    case CheckOutcome::UpToDate:
        out << "latest build: " << report.latestBuild << "\nup to date (已是最新版)\n";
        if (report.script == ScriptRefresh::Refreshed)
            out << "page script refreshed: HTML/js/myVueCode.js\n";
        else if (report.script == ScriptRefresh::Failed)
            out << "page script could not be refreshed: " << report.detail << '\n';
        break;
    case CheckOutcome::NewerBuild:
        out << "latest build: " << report.latestBuild << "\nnewer build available; no prompt would be shown ("
            << (report.latestBuild - report.ownBuild) << " builds ahead, FourceUpdate="
            << (report.info.forceUpdate ? 1 : 0) << "; the prompt needs both more than 5 and FourceUpdate)\n";
        break;
    case CheckOutcome::OfferUpdate:
        out << "latest build: " << report.latestBuild
            << "\nwould show 程序更新: 有最新版本了，请更新使用 (在线更新 / 从网站下载更新)\n";
        break;
    }
    out << "news: " << utf16::toUtf8(report.info.newsName) << " <" << utf16::toUtf8(report.info.newsUrl) << ">\n";
    return kExitOk;
}

int runCatalogue(CliContext& context, const std::vector<std::string>& args)
{
    SiteOptions options;
    if (auto bad = parseOptions(args, options, false, true))
        return context.usage("catalogue", *bad);
    const std::string site = siteOf(context, options);
    if (site.empty())
        return context.fail("catalogue", std::string(kNoSite.substr(0, kNoSite.size() - 1)));
    auto transport = platform::makeCurlTransport();
    const fs::path folder = catalogueFolder(context.folders());

    if (options.download) {
        std::atomic<bool> stop{false};
        InterruptWatcher watcher([&] { stop = true; });
        ProgressBar bar(context.out(), context.outputIsTerminal(), *options.download);
        const Status done = downloadPackage(*transport, site, utf16::fromUtf8(*options.download), folder, {},
                                            [&](const platform::HttpProgress& progress) {
                                                if (progress.total)
                                                    bar.update(progress.received, *progress.total);
                                                return !stop.load();
                                            });
        bar.finish();
        if (!done) {
            if (done.code() == ErrorCode::Cancelled)
                return kExitInterrupted;
            return context.fail("catalogue", "下载失败: " + done.error().detail);
        }
        context.out() << "downloaded " << *options.download << " into " << folder.string() << '\n';
        return kExitOk;
    }

    const Status fetched = fetchCatalogue(*transport, site, context.folders());
    const fs::path listFile = catalogueListFile(context.folders());
    std::error_code ec;
    if (!fetched) {
        if (!fs::exists(listFile, ec))
            return context.fail("catalogue", "the list could not be fetched: " + fetched.error().detail);
        context.err() << "veyla-cli: catalogue: the list could not be fetched (" << fetched.error().detail
                      << "); showing the copy from before\n";
    }
    Result<std::string> bytes = platform::readWholeFile(listFile);
    const CatalogueList list = parseCatalogue(bytes ? *bytes : std::string(), folder);
    for (const auto& row : list.rows())
        context.out() << utf16::toUtf8(row) << '\n';
    if (!list.downloadPage.empty())
        context.out() << "download page: " << utf16::toUtf8(list.downloadPage) << '\n';
    context.out() << "packages go to: " << folder.string() << '\n';
    return kExitOk;
}

}  // namespace veyla::cli
