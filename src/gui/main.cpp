// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "gui/app/command_line_files.h"
#include "gui/app/demo_library.h"
#include "gui/app/first_paint_probe.h"
#include "gui/app/font_setup.h"
#include "gui/app/qt_translations.h"
#include "gui/app/screenshot_mode.h"
#include "gui/app/startup_options.h"
#include "gui/commands/command_router.h"
#include "gui/icons/svg_icon.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Veyla"_s);
    QGuiApplication::setDesktopFileName(u"org.veyla.Veyla"_s);
    QApplication::setWindowIcon(applicationIcon());
    (void)installQtTranslations(app);
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

    if (options.demo == StartupOptions::Demo::Make && libraryIsEmpty(folders))
        makeDemoLibrary(folders);

    MainWindow window(folders);
    if (options.reportFirstPaint)
        new FirstPaintProbe(window);
    // From the start on: a message box while starting must not wait for a click either.
    ScreenshotMode* screenshot = options.screenshot.isEmpty() ? nullptr : new ScreenshotMode(window);
    window.show();
    window.start();
    if (!options.select.isEmpty())
        window.library().selectPath(folders.libraryFolder() / std::filesystem::path(options.select.toStdU16String()));
    if (!options.files.isEmpty()) {
        // Files from a file manager's "Open with": no demo question then.
        auto* files = new CommandLineFiles(window, options.files);
        QTimer::singleShot(0, files, &CommandLineFiles::start);
        if (!options.screenshot.isEmpty()) {
            QObject::connect(files, &CommandLineFiles::finished, screenshot,
                             [screenshot, options] { screenshot->schedule(options.screenshot, options.commands); });
        }
    } else if (screenshot != nullptr) {
        screenshot->schedule(options.screenshot, options.commands);
    } else if (options.demo == StartupOptions::Demo::Ask && !options.reportFirstPaint) {
        // Asked once the window is up, so the question stands over it.
        QTimer::singleShot(0, &window, [&window] { offerDemoLibrary(window); });
    }
    return QApplication::exec();
}
