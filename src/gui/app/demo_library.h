// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/app_folders.h"

namespace veyla::gui {

// Whether the library holds nothing yet (missing or empty): a first start.
bool libraryIsEmpty(const platform::AppFolders& folders);

// Imports the novels shipped in the program folder's demo/ into 藏书库/小说.
// Returns the number of books imported.
int makeDemoLibrary(const platform::AppFolders& folders);

}  // namespace veyla::gui
