// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "core/util/result.h"

namespace veyla::platform {

// Reads a whole file. A missing or unreadable file is FileUnavailable.
Result<std::string> readWholeFile(const std::filesystem::path& path);

// Permission bits for a newly created file; existing files keep theirs.
enum class FileAccess { Default, OwnerOnly };

// Whether writeFileAtomically syncs the file before it returns. Deferred
// suits many new files written together (an import): the caller syncs the
// file system once at the end with syncFileSystem.
enum class Durability { Synced, Deferred };

// Replaces path with bytes so that a crash at any moment leaves either the
// old file or the new one: the bytes go to a temporary file in the same
// folder (a hidden name without ".xml" so the library never lists it),
// which is flushed, synced and renamed over the target; then the folder is
// synced. The parent folder must exist.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                           FileAccess access = FileAccess::Default, Durability durability = Durability::Synced);

// Renames a file that cannot be used to path + suffix (".unreadable"), or,
// when that exists, to path + suffix + ".2", ".3"… so that neither the
// file nor an earlier one kept aside is ever replaced. Gives the new path.
Result<std::filesystem::path> keepAside(const std::filesystem::path& path, std::string_view suffix);

// Flushes everything written to the file system that holds path.
void syncFileSystem(const std::filesystem::path& path);

// The prefix of the temporary files writeFileAtomically makes.
inline constexpr std::string_view kTemporaryFilePrefix = ".veyla-write-";

// A new, empty temporary file in the folder of target, open for writing,
// with a hidden name that is never listed as a chapter. It takes target's
// permission bits when target exists (unless OwnerOnly is asked for). The
// file is locked (flock) while its descriptor is open, which tells
// removeStaleTemporaryFiles that a writer is still at work on it.
struct TemporaryFile {
    std::filesystem::path path;
    int fd = -1;  // owned by the caller
};
Result<TemporaryFile> createTemporaryBeside(const std::filesystem::path& target, FileAccess access);

// Removes the temporary files a writer killed mid-write left in folder:
// those older than minimumAge that no live writer holds locked. Returns
// how many were removed.
std::size_t removeStaleTemporaryFiles(const std::filesystem::path& folder,
                                      std::chrono::seconds minimumAge = std::chrono::seconds(60));
// The same in folder and every folder below it (links are not followed),
// until stop is requested: the sweep the desktop app makes at its start.
std::size_t removeStaleTemporaryFilesBelow(const std::filesystem::path& folder, std::stop_token stop = {},
                                           std::chrono::seconds minimumAge = std::chrono::seconds(60));

}  // namespace veyla::platform
