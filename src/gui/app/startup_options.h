// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace veyla::gui {

// The command line of the desktop app.
struct StartupOptions {
    std::optional<QString> dataFolder;  // --data DIR
    QString screenshot;                 // --screenshot FILE.png: render once, save, exit
    QString select;                     // --select PATH: a chapter relative to 藏书库
    QList<int> commands;                // --command ID (repeatable): run before the screenshot
    enum class Demo { Ask, Make, Skip } demo = Demo::Ask;  // --demo / --no-demo
    bool reportFirstPaint = false;      // --report-first-paint: print its time and exit
    QStringList files;                  // FILE...: novels to import and show, or library items to show
    QString error;                      // not empty when the command line is wrong

    static StartupOptions parse(const QStringList& arguments);
    static QString usage();
};

}  // namespace veyla::gui
