// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace veyla::gui {

// The picture of a command on the ribbon: a vendored line icon, and the
// freedesktop name of the desktop theme's icon for the same action where
// one exists ("document-save"), empty where none does.
struct CommandIconSpec {
    int id;
    const char* vendored;
    const char* themeName;
};

// The icon entry of a command, or nullptr when the table has none.
const CommandIconSpec* findCommandIcon(int id);

// The icon of a command: the desktop theme's icon when the theme has one,
// else the vendored icon in colour. A command without an entry gets a plain
// dot, never a letter.
QIcon commandIcon(int id, const QColor& colour);

// The icon of the application look 215-218: a palette in the look's colour.
QIcon lookIcon(int id);

}  // namespace veyla::gui
