// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "core/platform/trash.h"
#include "core/util/result.h"

namespace veyla::library {

// Changes to the library on disk made from the tree.

// The longest file name the library's file systems take, in bytes (UTF-8).
inline constexpr std::size_t kMaxFileNameBytes = 255;

// Checks a name typed for an item (the shown text or the whole file name):
// InvalidArgument when it is empty, "." or "..", holds "/" or a NUL, or is
// longer than kMaxFileNameBytes, so that an item can only ever be made or
// renamed inside its own folder.
Status checkItemName(std::u16string_view name);

// Renames a file or folder within its folder. Refuses a name checkItemName
// refuses, and with AlreadyExists when the new name is taken: a rename
// never replaces another item.
Result<std::filesystem::path> renameItem(const std::filesystem::path& from, std::u16string_view newName);

// Creates a chapter file holding an empty Body in an existing folder;
// refuses an existing path and a name checkItemName refuses.
Status createEmptyChapter(const std::filesystem::path& path);

// Creates a folder in an existing folder; refuses an existing path and a
// name checkItemName refuses.
Status createFolder(const std::filesystem::path& path);

// Deletes a chapter or a folder with everything in it by moving it to the trash.
Result<std::filesystem::path> deleteItem(const std::filesystem::path& path, const platform::TrashLocations& trash);

}  // namespace veyla::library
