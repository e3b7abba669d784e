// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string_view>

#include "core/platform/trash.h"
#include "core/util/result.h"

namespace veyla::library {

// Changes to the library on disk made from the tree.

// Renames a file or folder within its folder. Refuses with AlreadyExists
// when the new name is taken: a rename never replaces another item.
Result<std::filesystem::path> renameItem(const std::filesystem::path& from, std::u16string_view newName);

// Creates a chapter file holding an empty Body; refuses an existing path.
Status createEmptyChapter(const std::filesystem::path& path);

// Creates a folder (and missing parents); refuses an existing path.
Status createFolder(const std::filesystem::path& path);

// Deletes a chapter or a folder with everything in it by moving it to the trash.
Result<std::filesystem::path> deleteItem(const std::filesystem::path& path, const platform::TrashLocations& trash);

}  // namespace veyla::library
