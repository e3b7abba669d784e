// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "gui/app/message_box.h"
#include "gui/app/demo_library.h"
#include "gui/app/first_paint_probe.h"
#include "gui/app/font_setup.h"
#include "gui/app/startup_options.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

namespace {

// Runs the commands, then renders the window into a PNG once start-up is done, and quits.
void scheduleScreenshot(MainWindow& window, const QString& file, const QList<int>& commands)
{
    QTimer::singleShot(300, &window, [&window, file, commands] {
        for (int id : commands) {
            if (!window.router().trigger(id))
                std::fprintf(stderr, "veyla: command %d did not run\n", id);
        }
        const bool saved = window.grab().save(file, "PNG");
        if (!saved)
            std::fprintf(stderr, "veyla: cannot write %s\n", file.toLocal8Bit().constData());
        QApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Veyla"_s);
    const StartupOptions options = StartupOptions::parse(QApplication::arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "veyla: %s\n%s", options.error.toLocal8Bit().constData(),
                     StartupOptions::usage().toLocal8Bit().constData());
        return 2;
    }
    installFontSubstitutions();

    std::optional<std::filesystem::path> data;
    if (options.dataFolder)
        data = std::filesystem::path(options.dataFolder->toStdU16String());
    const platform::AppFolders folders = platform::appFoldersFromEnvironment(data);

    if (libraryIsEmpty(folders) && options.demo != StartupOptions::Demo::Skip) {
        const bool make = options.demo == StartupOptions::Demo::Make ||
                          (options.screenshot.isEmpty() && !options.reportFirstPaint &&
                           showMessage(nullptr, MessageKind::Question, u"Veyla"_s, u"书库还是空的。要导入示例书库吗？"_s) ==
                               QMessageBox::Yes);
        if (make)
            makeDemoLibrary(folders);
    }

    MainWindow window(folders);
    if (options.reportFirstPaint)
        new FirstPaintProbe(window);
    window.show();
    window.start();
    if (!options.select.isEmpty())
        window.library().selectPath(folders.libraryFolder() / std::filesystem::path(options.select.toStdU16String()));
    if (!options.screenshot.isEmpty())
        scheduleScreenshot(window, options.screenshot, options.commands);
    return QApplication::exec();
}
