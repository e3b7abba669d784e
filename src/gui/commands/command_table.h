// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <vector>

#include "gui/commands/command_id.h"

namespace veyla::gui {

// Who handles a command.
enum class CommandTarget {
    Frame,  // the main window
    Tree,   // the library tree pane
    View,     // the reading view's chapter: reached only while a chapter is open
    Display,  // the reading view's settings: fonts, colours, pictures, page
};

// What kind of control shows the command on the ribbon.
enum class ControlKind {
    Button,
    Toggle,    // a checkable button or menu item
    Combo,     // a drop-down list filled by its owner
    Spin,      // a number field
    Colour,    // a colour button
    Label,     // a text or link
};

// One row of the command table: the id, the resource name, the caption,
// where it sits, and who handles it.
struct CommandSpec {
    CommandId id;
    const char* resourceName;   // "" when it has none
    QString caption;            // exactly as shown; may be empty
    QString toolTip;            // for commands without a caption
    CommandTarget target;
    ControlKind kind;
    QString ribbonTab;          // empty: not on the ribbon
    QString ribbonGroup;
};

const std::vector<CommandSpec>& commandTable();
const CommandSpec* findCommandSpec(int id);

}  // namespace veyla::gui
