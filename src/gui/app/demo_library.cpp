// SPDX-License-Identifier: MIT
#include "gui/app/demo_library.h"

#include "core/import/novel_importer.h"

namespace veyla::gui {

namespace fs = std::filesystem;

bool libraryIsEmpty(const platform::AppFolders& folders)
{
    std::error_code ec;
    const fs::path library = folders.libraryFolder();
    return !fs::exists(library, ec) || fs::is_empty(library, ec);
}

int makeDemoLibrary(const platform::AppFolders& folders)
{
    const fs::path target = folders.libraryFolder() / u8"小说";
    int imported = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folders.programFolder / "demo", ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() != ".txt")
            continue;
        auto report = import::importNovelFile(it->path(), target, {});
        if (report && report->imported)
            ++imported;
    }
    return imported;
}

}  // namespace veyla::gui
