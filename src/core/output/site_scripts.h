// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <utility>
#include <vector>

#include "core/util/result.h"

namespace veyla::output {

// What copying the shipped page scripts did.
struct ScriptCopy {
    int copied = 0;
    std::vector<std::pair<std::filesystem::path, Error>> failures;
};

// Copies the page scripts and styles that ship in programFolder/HTML/js
// into dataFolder/HTML/js, file by file, when the data folder's copy is
// missing or older than the shipped one; a newer copy (one the online
// update or the generator wrote) is kept. Nothing happens when the two
// folders are the same (the portable layout). Each file is written
// atomically; symbolic links in the shipped folder are not followed.
ScriptCopy installSiteScripts(const std::filesystem::path& programFolder, const std::filesystem::path& dataFolder);

}  // namespace veyla::output
