// SPDX-License-Identifier: MIT
#include "core/update/update_checker.h"

#include "core/platform/ini_file.h"
#include "core/update/update_archive.h"
#include "core/update/update_site.h"

namespace veyla::update {

namespace fs = std::filesystem;

bool UpdateContext::portable() const
{
    std::error_code ec;
    return fs::equivalent(folders.dataFolder, folders.programFolder, ec);
}

UpdateChecker::UpdateChecker(platform::HttpTransport& transport, UpdateContext context)
    : m_transport(transport), m_context(std::move(context))
{
}

bool UpdateChecker::isCurrent() const
{
    std::lock_guard lock(m_mutex);
    return kOwnBuild >= m_latestBuild;
}

void UpdateChecker::requestPrompt()
{
    std::lock_guard lock(m_mutex);
    m_forcedPrompt = true;
}

int UpdateChecker::latestBuild() const
{
    std::lock_guard lock(m_mutex);
    return m_latestBuild;
}

CheckReport UpdateChecker::check(const DownloadProgress& progress)
{
    CheckReport report;
    if (!executableMayUpdate(m_context.executable)) {
        report.outcome = CheckOutcome::NotThisProgram;
        return report;
    }
    if (m_context.site.empty()) {
        report.outcome = CheckOutcome::NoSite;
        return report;
    }
    bool fetchNow = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_busy) {
            report.outcome = CheckOutcome::Busy;
            return report;
        }
        m_busy = true;
        fetchNow = !m_fetched;
        m_fetched = true;
    }
    struct ClearBusy {
        UpdateChecker& checker;
        ~ClearBusy()
        {
            std::lock_guard lock(checker.m_mutex);
            checker.m_busy = false;
        }
    } clearBusy{*this};

    const fs::path file = m_context.buildInfoFile();
    std::error_code ec;
    // The page script's build and the news address of the copy about to be replaced.
    int localScriptBuild = 1;
    std::u16string previousNewsUrl;
    const bool hadCopy = fs::exists(file, ec);
    if (hadCopy) {
        const BuildInfo previous = readBuildInfo(file);
        localScriptBuild = previous.jsBuild;
        previousNewsUrl = previous.newsUrl;
    }

    if (fetchNow) {
        report.fetchedNow = true;
        Status fetched = downloadFile(m_transport, siteUrl(m_context.site, kInfoPath), file, m_context.infoLimits, progress);
        std::lock_guard lock(m_mutex);
        m_fetchSucceeded = fetched.ok();
        m_fetchError = fetched.ok() ? std::string() : fetched.error().detail;
    }
    bool forced = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_fetchSucceeded) {
            report.outcome = CheckOutcome::NoInformation;
            report.detail = m_fetchError;
            return report;
        }
        forced = m_forcedPrompt;
    }

    report.info = readBuildInfo(file);
    report.newsChanged = hadCopy && report.info.newsUrl != previousNewsUrl;
    report.latestBuild = report.info.build;
    // The file's FourceUpdate replaces whatever the command asked for.
    forced = report.info.forceUpdate;
    {
        std::lock_guard lock(m_mutex);
        m_latestBuild = report.info.build;
        m_forcedPrompt = forced;
    }

    if (report.info.build > kOwnBuild) {
        const bool farBehind = static_cast<long long>(report.info.build) - kOwnBuild > kForcedPromptGap;
        report.outcome = forced && farBehind ? CheckOutcome::OfferUpdate : CheckOutcome::NewerBuild;
        return report;
    }
    report.outcome = CheckOutcome::UpToDate;
    if (localScriptBuild < report.info.jsBuild && m_context.portable()) {
        const fs::path script = m_context.folders.dataFolder / "HTML" / "js" / "myVueCode.js";
        Status refreshed = downloadFile(m_transport, siteUrl(m_context.site, kPageScriptPath), script,
                                        m_context.infoLimits, progress);
        report.script = refreshed ? ScriptRefresh::Refreshed : ScriptRefresh::Failed;
        if (!refreshed)
            report.detail = refreshed.error().detail;
    }
    return report;
}

InstallReport installUpdate(platform::HttpTransport& transport, const UpdateContext& context,
                            const DownloadProgress& progress)
{
    if (context.site.empty())
        return {InstallOutcome::NoSite, {}};
    const fs::path programFolder = context.executable.parent_path();
    if (Status writable = checkFolderWritable(programFolder); !writable)
        return {InstallOutcome::NotWritable, writable.error().detail};

    const fs::path archive = context.folders.dataFolder / "veyla.zip";
    std::error_code ec;
    fs::remove(archive, ec);
    Status downloaded = downloadFile(transport, siteUrl(context.site, kArchivePath), archive, context.archiveLimits,
                                     progress);
    if (!downloaded) {
        if (downloaded.code() == ErrorCode::Cancelled)
            return {InstallOutcome::Cancelled, downloaded.error().detail};
        return {InstallOutcome::DownloadFailed, downloaded.error().detail};
    }

    const fs::path program = context.executable;
    fs::path previous = program;
    previous += ".PRE";
    fs::rename(program, previous, ec);
    if (ec)
        return {InstallOutcome::InstallFailed, program.string() + ": " + ec.message()};
    Result<std::vector<std::string>> extracted = extractArchive(archive, programFolder);
    if (!extracted) {
        fs::rename(previous, program, ec);
        return {InstallOutcome::InstallFailed, extracted.error().detail};
    }
    fs::remove(archive, ec);
    if (!fs::exists(fs::symlink_status(program, ec)))
        fs::copy_file(previous, program, ec);
    return {InstallOutcome::Installed, {}};
}

}  // namespace veyla::update
