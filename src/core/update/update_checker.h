// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "core/platform/app_folders.h"
#include "core/platform/http_transport.h"
#include "core/update/build_info.h"
#include "core/update/file_download.h"

namespace veyla::update {

// Where the update machinery reads and writes, and whom it asks.
struct UpdateContext {
    platform::AppFolders folders;
    std::filesystem::path executable;  // full path of the desktop program
    std::string site;                  // the publisher's address; empty: no network use at all
    DownloadLimits infoLimits{std::chrono::seconds(15), std::chrono::seconds(30), std::chrono::seconds(60)};
    DownloadLimits archiveLimits{std::chrono::seconds(15), std::chrono::seconds(30), std::chrono::minutes(30)};

    std::filesystem::path buildInfoFile() const { return folders.dataControl("buildInfo.ini"); }
    // The data folder is the program folder (a portable copy).
    bool portable() const;
};

enum class CheckOutcome {
    NotThisProgram,  // the program's file name lacks "小说": nothing fetched
    NoSite,          // no site address is set: nothing fetched
    Busy,            // another check is under way
    NoInformation,   // the information file could not be fetched (now or earlier this run)
    UpToDate,        // the latest build is not newer than this one
    NewerBuild,      // a newer build exists, but no prompt is due
    OfferUpdate,     // show the dialog "程序更新"
};

enum class ScriptRefresh { NotNeeded, Refreshed, Failed };

struct CheckReport {
    CheckOutcome outcome = CheckOutcome::NoInformation;
    int ownBuild = kOwnBuild;
    int latestBuild = kOwnBuild;
    BuildInfo info;            // valid when information was read
    bool fetchedNow = false;   // this check made the one request of the run
    bool newsChanged = false;  // the news address differs from the previous copy's
    ScriptRefresh script = ScriptRefresh::NotNeeded;
    std::string detail;        // why a fetch failed
};

// The build check, run on a worker thread: the information file is fetched
// at most once per run (the previous copy stays untouched when the fetch
// fails), then compared with this program's build. Thread-safe; a second
// check while one runs returns Busy.
class UpdateChecker {
public:
    UpdateChecker(platform::HttpTransport& transport, UpdateContext context);

    // keepGoing is asked while downloading; false cancels (a closing program).
    CheckReport check(const DownloadProgress& progress = {});

    // "检查更新": true when this build is at least the latest known build
    // (always before any information was read), so "已是最新版" is shown.
    bool isCurrent() const;
    // Lets the next check show the prompt (the file's FourceUpdate still decides).
    void requestPrompt();
    int latestBuild() const;
    const UpdateContext& context() const { return m_context; }

private:
    platform::HttpTransport& m_transport;
    UpdateContext m_context;
    mutable std::mutex m_mutex;
    bool m_busy = false;
    bool m_fetched = false;
    bool m_fetchSucceeded = false;
    std::string m_fetchError;
    bool m_forcedPrompt = false;
    int m_latestBuild = kOwnBuild;
};

enum class InstallOutcome {
    Installed,       // "安装完毕，建议重新启动软件。。。"
    DownloadFailed,  // "下载失败，请从网站更新"
    InstallFailed,   // "安装失败，请重新下载或手动安装试试。。。" (the program's name restored)
    NotWritable,     // the program folder cannot be written (a system install)
    NoSite,          // no site address is set
    Cancelled,       // stopped by the progress callback
};

struct InstallReport {
    InstallOutcome outcome = InstallOutcome::DownloadFailed;
    std::string detail;
};

// Downloads the publisher's veyla.zip into the data folder, renames the
// program to its name plus ".PRE", and unpacks the archive into the
// program's folder (see extractArchive). A failed unpack renames the
// ".PRE" file back; a successful one deletes the archive and, when the
// archive held no new program, puts a copy of the old one back under its
// name so the program is never missing.
InstallReport installUpdate(platform::HttpTransport& transport, const UpdateContext& context,
                            const DownloadProgress& progress = {});

}  // namespace veyla::update
