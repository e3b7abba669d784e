// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPersistentModelIndex>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

#include "core/import/novel_importer.h"
#include "core/platform/app_folders.h"

namespace veyla::gui {

class CommandRouter;
class ImportDialog;
class ImportResultDialog;
class LibraryController;

// One book an import wrote, with the check of its split.
struct ImportedBook {
    std::filesystem::path source;
    std::filesystem::path written;  // the book folder (or chapter file) made in the library
    int files = 0;
    QString verdict;                // "looks right", or "suspicious: " and the reason
    QStringList warnings;           // what reading the file could not keep, e.g. undecodable bytes
    bool suspicious = false;
    // The options of a better split, when one was found, and what it gives.
    std::optional<import::SplitOptions> suggestion;
    QString suggestionText;
};

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

    // The books of the last import, shown in the import result.
    const std::vector<ImportedBook>& results() const { return m_results; }
    ImportResultDialog* resultDialog() const { return m_resultDialog; }
    // Moves the book of results()[row] to the trash and imports its file
    // again, into the same folder, with the suggested options. Refused
    // while an import runs, without a suggestion, or when the trash cannot
    // take the book.
    bool reimportWithSuggestion(std::size_t row);

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
        import::LetterCase letterCase = import::LetterCase::AsWritten;
        std::optional<std::filesystem::path> target;  // instead of the tree's selection
    };
    bool start(Job job);
    int run(const Job& job, const std::filesystem::path& target, std::stop_token stop);
    void done();
    void record(const std::filesystem::path& source, const import::BookReport& book);

    platform::AppFolders m_folders;
    LibraryController& m_library;
    CommandRouter& m_router;
    ImportDialog* m_dialog = nullptr;
    SplitPresets m_presets;
    std::atomic<bool> m_busy{false};
    std::stop_source m_stop;
    QFutureWatcher<int> m_watcher;
    QPersistentModelIndex m_target;
    std::optional<std::filesystem::path> m_targetPath;
    ImportResultDialog* m_resultDialog = nullptr;
    std::mutex m_resultsLock;  // the worker adds to m_pending, the UI thread takes it when done
    std::vector<ImportedBook> m_pending;
    std::vector<ImportedBook> m_results;
    qint64 m_startedAt = 0;
};

}  // namespace veyla::gui
