// SPDX-License-Identifier: MIT
#include "gui/app/demo_library.h"

#include <QApplication>

#include "core/import/novel_importer.h"
#include "gui/app/message_box.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

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

void offerDemoLibrary(MainWindow& window)
{
    const platform::AppFolders& folders = window.folders();
    if (!libraryIsEmpty(folders))
        return;
    if (showMessage(&window, MessageKind::Question, u"Veyla"_s, u"书库还是空的。要导入示例书库吗？"_s) != QMessageBox::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int imported = makeDemoLibrary(folders);
    QApplication::restoreOverrideCursor();
    if (imported > 0)
        window.library().showRoot(folders.libraryFolder(), window.display().settings.openAll);
}

}  // namespace veyla::gui
