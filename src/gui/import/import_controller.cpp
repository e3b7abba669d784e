// SPDX-License-Identifier: MIT
#include "gui/import/import_controller.h"

#include <QDateTime>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include "core/import/novel_importer.h"
#include "core/import/split_suggestion.h"
#include "core/library/library_edit.h"
#include "core/library/library_folder.h"
#include "gui/commands/command_router.h"
#include "gui/import/import_dialog.h"
#include "gui/import/import_result_dialog.h"
#include "gui/tree/library_controller.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

namespace {

fs::path toPath(const QString& text)
{
    return fs::path(text.toStdU16String());
}

}  // namespace

ImportController::ImportController(const platform::AppFolders& folders, LibraryController& library,
                                   CommandRouter& router, QObject* parent)
    : QObject(parent), m_folders(folders), m_library(library), m_router(router)
{
    connect(&m_watcher, &QFutureWatcher<int>::finished, this, &ImportController::done);
    m_router.bind(kImportNovel, [this] {
        if (m_dialog == nullptr)
            m_dialog = new ImportDialog(*this, qobject_cast<QWidget*>(this->parent()));
        m_dialog->show();
        m_dialog->raise();
    });
}

ImportController::~ImportController()
{
    requestStop();
    waitForFinished();
}

bool ImportController::importDropped(const QStringList& paths)
{
    Job job;
    job.paths = paths;
    job.fromDrop = true;
    job.prefix = m_presets.headingKey;
    job.punctuation = m_presets.punctuation;
    return start(std::move(job));
}

bool ImportController::importChosen(const QStringList& paths, bool folderMode, const QString& prefix,
                                    const QString& suffix)
{
    Job job;
    job.paths = paths;
    job.folderMode = folderMode;
    job.prefix = prefix;
    job.suffix = suffix;
    job.punctuation = true;
    return start(std::move(job));
}

bool ImportController::reimportWithSuggestion(std::size_t row)
{
    if (m_busy.load() || row >= m_results.size() || !m_results[row].suggestion)
        return false;
    const ImportedBook book = m_results[row];
    // Like every delete, the book goes to the trash; if it cannot, nothing changes.
    if (!library::deleteItem(book.written, platform::trashLocationsFor(m_folders.dataFolder)))
        return false;
    Job job;
    job.paths = {QString::fromStdU16String(book.source.u16string())};
    job.prefix = QString::fromStdU16String(book.suggestion->prefix);
    job.suffix = QString::fromStdU16String(book.suggestion->suffix);
    job.punctuation = book.suggestion->punctuation == import::Punctuation::Allowed;
    job.letterCase = book.suggestion->letterCase;
    job.target = book.written.parent_path();
    return start(std::move(job));
}

void ImportController::record(const fs::path& source, const import::BookReport& book)
{
    if (!book.imported || book.written.topLevel.empty())
        return;
    ImportedBook result;
    result.source = source;
    result.written = book.written.topLevel.front();
    result.files = book.written.chapterFiles;
    result.verdict = QString::fromStdString(book.splitReport.verdict());
    result.suspicious = book.splitReport.suspicious;
    for (const auto& warning : book.warnings)
        result.warnings << QString::fromStdString(warning);
    if (book.suggestion && book.splitReport.suspicious) {
        result.suggestion = book.suggestion->options;
        const std::string options = import::commandLineOptions(book.suggestion->options);
        result.suggestionText = QString::fromStdString(options + ": " + book.suggestion->report.counts());
    }
    const std::lock_guard lock(m_resultsLock);
    m_pending.push_back(std::move(result));
}

bool ImportController::start(Job job)
{
    if (m_busy.exchange(true)) {
        emit titleChanged(u"正在解析中,请等待..."_s);
        return false;
    }
    m_targetPath = job.target;
    fs::path targetPath;
    if (job.target) {
        m_target = QModelIndex();
        targetPath = *job.target;
    } else {
        const QModelIndex target = m_library.targetFolder();
        m_target = target;
        m_library.select(target);
        targetPath = m_library.pathOf(target);
    }
    {
        const std::lock_guard lock(m_resultsLock);
        m_pending.clear();
    }
    m_stop = std::stop_source();
    m_startedAt = QDateTime::currentSecsSinceEpoch();
    m_watcher.setFuture(QtConcurrent::run([this, job = std::move(job), targetPath, stop = m_stop.get_token()] {
        return run(job, targetPath, stop);
    }));
    return true;
}

int ImportController::run(const Job& job, const fs::path& target, std::stop_token stop)
{
    import::ImportOptions options;
    options.prefix = job.prefix.toStdU16String();
    options.suffix = job.suffix.toStdU16String();
    options.punctuation = job.punctuation ? import::Punctuation::Allowed : import::Punctuation::Forbidden;
    options.letterCase = job.letterCase;
    const import::FileDone recorded = [this](const fs::path& file, const Result<import::BookReport>& book) {
        if (book)
            record(file, *book);
    };
    auto announce = [this] {
        QMetaObject::invokeMethod(this, [this] { emit titleChanged(u"正在解析中,请等待..."_s); }, Qt::QueuedConnection);
    };
    if (job.folderMode) {
        announce();
        (void)import::importNovelFolder(toPath(job.paths.value(0)), target, options, recorded, stop);
        return static_cast<int>(job.paths.size());
    }
    for (const QString& path : job.paths) {
        if (stop.stop_requested())
            break;
        const QFileInfo info(path);
        if (info.isDir() && job.fromDrop) {
            const fs::path folder = target / toPath(info.fileName());
            std::error_code ec;
            fs::create_directories(folder, ec);
            (void)import::importNovelFolder(toPath(path), folder, options, recorded, stop);
        } else if (path.contains(u".txt"_s) || path.contains(u".epub"_s) || !job.fromDrop) {
            announce();
            const fs::path file = toPath(path);
            recorded(file, import::importNovelFile(file, target, options, stop));
        }
    }
    return static_cast<int>(job.paths.size());
}

void ImportController::done()
{
    const int dropped = m_watcher.result();
    if (m_targetPath)
        m_library.refreshPath(*m_targetPath);
    else
        m_library.refreshFolder(m_target);
    m_busy = false;
    {
        const std::lock_guard lock(m_resultsLock);
        m_results = std::move(m_pending);
        m_pending.clear();
    }
    if (!m_results.empty()) {
        if (m_resultDialog == nullptr)
            m_resultDialog = new ImportResultDialog(*this, qobject_cast<QWidget*>(parent()));
        m_resultDialog->showResults(m_results);
    }
    const qint64 s = QDateTime::currentSecsSinceEpoch() - m_startedAt;
    emit titleChanged(QString::asprintf("共用时 %d时  %d 分 %d秒   success: %d  ", static_cast<int>((s / 3600) % 24),
                                        static_cast<int>((s / 60) % 60), static_cast<int>(s % 60), dropped));
    emit finished(dropped);
}

void ImportController::requestStop()
{
    m_stop.request_stop();
}

void ImportController::waitForFinished()
{
    m_watcher.waitForFinished();
}

}  // namespace veyla::gui
