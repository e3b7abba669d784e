// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/util/result.h"

namespace veyla::platform {

// Paths handed to other programs that lie under a "Roaming" folder are
// mapped into the package's own roaming folder: the part after "Roaming"
// and its separator is put after packageRoamingFolder. Other paths are
// returned unchanged. (Packaged Windows installs see a redirected profile;
// Linux paths rarely contain the word, and then nothing changes.)
std::string rewriteRoamingPath(const std::string& path, const std::string& packageRoamingFolder);

// The command line that opens a path: the browser command (one program and
// its fixed arguments, split at blanks) followed by the path, or
// "xdg-open path" without a browser command.
std::vector<std::string> openCommand(const std::string& path, const std::string& browserCommand);

// Starts a program without waiting for it; it is not a child of this
// process once started.
Status startDetached(const std::vector<std::string>& argv);

// Opens a page in the browser (the browser command from the settings, else
// the desktop's default handler).
Status openInBrowser(const std::filesystem::path& path, const std::string& browserCommand = {},
                     const std::string& packageRoamingFolder = {});

// Opens a file or folder with the desktop's default handler.
Status openWithShell(const std::filesystem::path& path, const std::string& packageRoamingFolder = {});

}  // namespace veyla::platform
