// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/app_folders.h"

namespace veyla::gui {

// The start-up options of control/preSet.ini (data folder, else program folder).
struct StartupSettings {
    bool openAll = true;     // Start/OpenAll: expand every book at start
    bool searchAll = false;  // Search/all

    static StartupSettings read(const platform::AppFolders& folders);
    // Writes both keys into the data folder's preSet.ini, keeping the rest of it.
    void write(const platform::AppFolders& folders) const;
};

}  // namespace veyla::gui
