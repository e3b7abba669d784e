// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/app_folders.h"

namespace veyla::gui {

class MainWindow;

// Whether the library holds nothing yet (missing or empty): a first start.
bool libraryIsEmpty(const platform::AppFolders& folders);

// Imports the novels shipped in the program folder's demo/ into 藏书库/小说.
// Returns the number of books imported.
int makeDemoLibrary(const platform::AppFolders& folders);

// On a first start, asks over the main window (which must be showing)
// whether to import the demo library, and shows it in the tree on yes.
void offerDemoLibrary(MainWindow& window);

}  // namespace veyla::gui
