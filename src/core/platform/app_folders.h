// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace veyla::platform {

// The two roots of every relative path the program uses.
// programFolder holds what ships (control/, HTML/js/); dataFolder holds the
// user's library and settings (藏书库/, control/preSet.ini, HTML/, 音频/).
struct AppFolders {
    std::filesystem::path programFolder;
    std::filesystem::path dataFolder;

    std::filesystem::path libraryFolder() const { return dataFolder / u8"藏书库"; }
    std::filesystem::path dataControl(const std::filesystem::path& name) const { return dataFolder / "control" / name; }
    std::filesystem::path programControl(const std::filesystem::path& name) const
    {
        return programFolder / "control" / name;
    }
    // A file under control/ of the data folder, else of the program folder.
    std::filesystem::path controlFile(const std::filesystem::path& name) const;
};

// What the folder rules look at; filled from the process environment by
// appFoldersFromEnvironment and by hand in tests.
struct FolderInputs {
    std::filesystem::path executable;                  // full path of the running program
    std::optional<std::filesystem::path> dataOverride;  // --data DIR, else VEYLA_DATA_DIR
    std::optional<std::string> xdgDataHome;
    std::optional<std::string> home;
    std::filesystem::path installedDataDir;  // <prefix>/share/veyla
};

// The program folder is the folder next to the executable when it holds
// control/ (build trees and portable copies), else <prefix>/share/veyla
// beside the bin/ folder, else the installed data folder.
// The data folder is dataOverride when given; the program folder when it
// holds a file named "portable"; else $XDG_DATA_HOME/veyla
// (~/.local/share/veyla).
AppFolders resolveAppFolders(const FolderInputs& inputs);

// Whether resolving the folders makes the data folder (a command that only reads leaves it).
enum class FolderCreation { Create, Leave };

// Resolves the folders for this process and, unless asked not to, creates the data folder.
AppFolders appFoldersFromEnvironment(const std::optional<std::filesystem::path>& dataOverride = std::nullopt,
                                     FolderCreation creation = FolderCreation::Create);

// Creates every missing folder along path. When the path names a file (it
// contains ".xml" or ".wav") only its parent folders are made. Failures are
// ignored: the file operation that follows reports its own error.
void makeFoldersForPath(const std::filesystem::path& path);

}  // namespace veyla::platform
