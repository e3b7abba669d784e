// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <stop_token>

#include "core/platform/trash.h"
#include "core/search/library_miner.h"

class QWidget;

namespace veyla::gui {

class CommandRouter;
class DisplayState;
class LibraryTreeModel;
class LibraryTreePane;
class MiningDialog;

// "搜书中内容": knowledge mining from the selected tree item. The worker
// thread only reads chapter files and hands back what it found; the
// user-interface thread then writes the result chapters under 类别/<mode>
// of the start folder (an earlier result of the mode goes to the trash)
// and brings the tree in step. Progress and the outcome are shown in the
// window title: "正在努力挖掘中......", "书中无此信息", "共用时 …". One
// mining search runs at a time.
class MiningController : public QObject {
    Q_OBJECT
public:
    // What the worker runs; tests put a controllable one in its place.
    using Miner = std::function<Result<search::MiningOutcome>(const std::filesystem::path& start,
                                                              const search::HitFinder& finder, std::size_t bookLimit,
                                                              std::stop_token stop)>;

    MiningController(DisplayState& display, LibraryTreeModel& model, LibraryTreePane& pane, CommandRouter& router,
                     platform::TrashLocations trash, QWidget* window);
    ~MiningController() override;

    MiningDialog* dialog() const;
    void showDialog();

    // Starts mining from the selected item; false when one is running or
    // the keywords hold none (which the user is told).
    bool start(search::MiningMode mode, search::BookLimit limit, const QString& keywords);
    bool isBusy() const { return m_busy; }
    void requestStop();
    void waitForFinished();
    void setMiner(Miner miner) { m_miner = std::move(miner); }

signals:
    void titleChanged(const QString& title);
    // The results of a mode are about to replace the folder's content.
    void resultsReplacing(const std::filesystem::path& folder);
    // A line for the status bar (chapters that could not be read).
    void message(const QString& text);
    void finished();

private:
    void done();
    void store(const search::MiningOutcome& outcome);
    void showResults(const std::filesystem::path& folder);

    DisplayState& m_display;
    LibraryTreeModel& m_model;
    LibraryTreePane& m_pane;
    QWidget* m_window;
    platform::TrashLocations m_trash;
    QPointer<MiningDialog> m_dialog;
    Miner m_miner;
    std::stop_source m_stop;
    QFutureWatcher<Result<search::MiningOutcome>> m_watcher;
    std::filesystem::path m_start;
    search::MiningMode m_mode = search::MiningMode::Word;
    std::chrono::steady_clock::time_point m_startedAt;
    QString m_titleBefore;  // shown again when the search cannot run
    bool m_busy = false;
};

}  // namespace veyla::gui
