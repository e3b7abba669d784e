// SPDX-License-Identifier: MIT
#pragma once

class QMenu;

namespace veyla::gui {

class CommandRouter;

// What the reading view's context menu shows in its dynamic items.
struct ViewMenuState {
    bool expandAllAtStart = false;
    bool fullScreen = false;
    bool paragraphMode = false;
    bool chapterIsBookmarked = false;
};

// Fills the reading view's context menu: its items, their order and their
// captions that depend on the state. Each item runs its command by id.
void fillViewContextMenu(QMenu& menu, CommandRouter& router, const ViewMenuState& state);

}  // namespace veyla::gui
