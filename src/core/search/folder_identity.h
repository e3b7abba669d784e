// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <utility>

namespace veyla::search {

// What tells folders apart on disk (device and inode), so that a walk can
// see a folder it is already inside: a symbolic link back up the library
// would otherwise make a walk endless.
using FolderIdentity = std::pair<unsigned long long, unsigned long long>;

// The identity of the folder path leads to (links followed); nullopt when
// it cannot be examined.
std::optional<FolderIdentity> folderIdentity(const std::filesystem::path& path);

}  // namespace veyla::search
