// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPersistentModelIndex>
#include <QStringList>

#include <atomic>
#include <stop_token>

#include "core/platform/app_folders.h"

namespace veyla::gui {

class CommandRouter;
class ImportDialog;
class LibraryController;

// The chapter-splitting presets held while the program runs: the heading
// key given to dropped files and whether titles may hold punctuation.
struct SplitPresets {
    QString headingKey;
    bool punctuation = true;
};

// Imports dropped files and folders, and runs the import dialog. The work
// runs on a worker thread that touches only the disk; the tree gains the
// new books on the user-interface thread when it is done. One import runs
// at a time: while it runs isBusy() is true and a second one is refused.
class ImportController : public QObject {
    Q_OBJECT
public:
    ImportController(const platform::AppFolders& folders, LibraryController& library, CommandRouter& router,
                     QObject* parent = nullptr);
    ~ImportController() override;

    bool isBusy() const { return m_busy.load(); }
    SplitPresets& presets() { return m_presets; }

    // Files or folders dropped on the window, in drop order.
    bool importDropped(const QStringList& paths);
    // Files (or one folder) with the user's prefix and suffix, from the dialog.
    bool importChosen(const QStringList& paths, bool folderMode, const QString& prefix, const QString& suffix);

    void requestStop();
    void waitForFinished();

signals:
    void titleChanged(const QString& title);
    void finished(int dropped);

private:
    struct Job {
        QStringList paths;
        bool folderMode = false;   // the dialog's folder mode: paths[0] is walked
        bool fromDrop = false;
        QString prefix;
        QString suffix;
        bool punctuation = true;
    };
    bool start(Job job);
    int run(const Job& job, const std::filesystem::path& target, std::stop_token stop);
    void done();

    platform::AppFolders m_folders;
    LibraryController& m_library;
    CommandRouter& m_router;
    ImportDialog* m_dialog = nullptr;
    SplitPresets m_presets;
    std::atomic<bool> m_busy{false};
    std::stop_source m_stop;
    QFutureWatcher<int> m_watcher;
    QPersistentModelIndex m_target;
    qint64 m_startedAt = 0;
};

}  // namespace veyla::gui
