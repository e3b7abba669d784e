// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "core/util/result.h"

namespace veyla::platform {

// Where deleted items go: the freedesktop.org desktop trash
// ($XDG_DATA_HOME/Trash, with an info file per item so file
// managers can restore it), or, when the item is on another file system
// than that trash, a ".Trash" folder in the data folder.
struct TrashLocations {
    std::filesystem::path homeTrash;      // usually ~/.local/share/Trash
    std::filesystem::path fallbackTrash;  // <data folder>/.Trash
};

// The locations for this user: $XDG_DATA_HOME/Trash (or ~/.local/share/Trash)
// and dataFolder/.Trash.
TrashLocations trashLocationsFor(const std::filesystem::path& dataFolder);

// Moves a file or a whole folder into the trash and returns where it went.
// Nothing is deleted: if no trash can take the item it stays in place and
// an error is returned.
Result<std::filesystem::path> moveToTrash(const std::filesystem::path& item, const TrashLocations& trash);

}  // namespace veyla::platform
