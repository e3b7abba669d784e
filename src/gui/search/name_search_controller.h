// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>

#include <filesystem>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "core/search/name_search.h"

class QWidget;

namespace veyla::gui {

class CommandRouter;
class DisplayState;
class FindDialog;
class LibraryTreeModel;
class LibraryTreePane;

// "搜索 书名或章节名 ": finds a book, folder or chapter by a part of its
// name from the selected tree item on. The walk runs on a worker thread
// over a tree of its own (it lists folders from the disk and is told which
// folders the pane shows open); the match found comes back as names, and
// the user-interface thread opens the folders above it and selects it. One
// search runs at a time; the next press continues from the match.
class NameSearchController : public QObject {
    Q_OBJECT
public:
    NameSearchController(DisplayState& display, LibraryTreeModel& model, LibraryTreePane& pane, CommandRouter& router,
                         QWidget* window);
    ~NameSearchController() override;

    // The dialog, made the first time the command runs.
    FindDialog* dialog() const;
    void showDialog();

    // Starts a search from the selected item; false when one is running
    // or the text is empty.
    bool search(const QString& text, search::Direction direction, search::NodeScope scope);
    bool isBusy() const { return m_busy; }
    void requestStop();
    void waitForFinished();

signals:
    void finished(bool found);

private:
    using Match = std::optional<std::vector<std::u16string>>;
    std::set<std::filesystem::path> openFolders() const;
    void done();

    DisplayState& m_display;
    LibraryTreeModel& m_model;
    LibraryTreePane& m_pane;
    QWidget* m_window;
    QPointer<FindDialog> m_dialog;
    std::stop_source m_stop;
    QFutureWatcher<Match> m_watcher;
    bool m_busy = false;
};

}  // namespace veyla::gui
