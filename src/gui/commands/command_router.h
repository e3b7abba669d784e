// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <functional>
#include <map>

#include "gui/commands/command_table.h"

class QAction;

namespace veyla::gui {

// Builds one QAction per command of the table and sends each to the handler
// its owner binds. A command without a handler stays disabled: it is shown
// but cannot be chosen. Commands aimed at the reading view do nothing while
// no chapter is open.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    explicit CommandRouter(QObject* parent = nullptr);

    QAction* action(int id) const;

    using Handler = std::function<void()>;
    // Binds the handler of a command and enables its action.
    void bind(int id, Handler handler);
    bool isBound(int id) const;

    // Tells the router whether the reading view holds a chapter.
    void setChapterOpen(bool open) { m_chapterOpen = open; }
    bool chapterOpen() const { return m_chapterOpen; }

    // Runs a command as if chosen by the user. Returns whether a handler ran.
    bool trigger(int id);

private:
    std::map<int, QAction*> m_actions;
    std::map<int, Handler> m_handlers;
    bool m_chapterOpen = false;
};

}  // namespace veyla::gui
