// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>

#include <filesystem>
#include <memory>

#include "core/import/novel_importer.h"
#include "core/util/result.h"

namespace veyla::gui {

class MainWindow;

// Opens the files named on the app's command line, as a file manager's
// "Open with Veyla" passes them. A chapter or folder inside the library is
// selected. Any other file is imported as a novel into 藏书库/小说 on a
// worker thread and its first chapter is shown; when a book of the same name
// is already there the user is asked first, and "no" shows the one there.
// Files are taken one after the other; a file that cannot be imported is
// said in a message box.
class CommandLineFiles : public QObject {
    Q_OBJECT
public:
    CommandLineFiles(MainWindow& window, const QStringList& paths);
    ~CommandLineFiles() override;

    // Starts with the first file; call once the window is showing.
    void start();
    bool isDone() const { return m_done; }

    // The folder imports go to.
    static std::filesystem::path targetFolder(const std::filesystem::path& library);
    // The first chapter file at or below path, in name order; path itself
    // when it is a file; empty when there is none.
    static std::filesystem::path firstChapter(const std::filesystem::path& path);

signals:
    void finished();

private:
    void next();
    void planned();
    void written();
    void show(const std::filesystem::path& path);
    void fail(const Error& error);

    MainWindow& m_window;
    QStringList m_paths;
    qsizetype m_next = 0;
    QString m_current;
    std::shared_ptr<Result<import::PlannedBook>> m_book;
    QFutureWatcher<std::shared_ptr<Result<import::PlannedBook>>> m_planning;
    QFutureWatcher<std::shared_ptr<Result<import::WrittenPlan>>> m_writing;
    bool m_done = false;
};

}  // namespace veyla::gui
