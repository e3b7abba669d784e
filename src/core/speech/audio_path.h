// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>

namespace veyla::speech {

// Where a chapter's audio goes below the data folder's 音频/, mirroring the
// chapter's place below the data folder.
struct AudioTarget {
    std::filesystem::path file;    // the WAV file
    std::filesystem::path folder;  // the folder holding it, shown to the user
};

// The folder part of the chapter's path relative to the data folder loses
// every space (U+0020) and ideographic space (U+3000); in the file name each
// of them becomes ","; the name's ".xml" becomes ".wav" (".wav" is added to
// a name without ".xml"). A chapter outside the data folder has no target.
std::optional<AudioTarget> audioTargetFor(const std::filesystem::path& dataFolder,
                                          const std::filesystem::path& chapter);

// The audio folder of the data folder.
std::filesystem::path audioFolderOf(const std::filesystem::path& dataFolder);

}  // namespace veyla::speech
