// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

namespace veyla::update {

// This program's build number, compared with the publisher's latest build.
inline constexpr int kOwnBuild = 47;
// The update prompt is forced only when the latest build is more than this
// many builds ahead.
inline constexpr int kForcedPromptGap = 5;

inline constexpr std::u16string_view kDefaultNewsName = u"西游记原文  视频精读";
inline constexpr std::u16string_view kDefaultNewsUrl = u"https://veyla.example.org/zixun/xiyouji.html";

// The update information file (served as /down/veyla.ini, kept as
// control/buildInfo.ini in the data folder).
struct BuildInfo {
    int build = 1;         // [Build] Build: the latest build
    int jsBuild = 1;       // [Build] JSBuild: build of the page script myVueCode.js
    bool forceUpdate = false;  // [Build] FourceUpdate: non-zero lets the prompt show
    std::u16string newsUrl{kDefaultNewsUrl};    // [Zixun] URL
    std::u16string newsName{kDefaultNewsName};  // [Zixun] name
};

// Reads the file; a missing file gives the defaults.
BuildInfo readBuildInfo(const std::filesystem::path& file);

// Whether this executable checks for updates at all: only a program whose
// file name contains "小说" does. The distribution's "veyla" is updated by
// the package manager; a portable copy opts in by renaming its program.
bool executableMayUpdate(const std::filesystem::path& executable);

}  // namespace veyla::update
