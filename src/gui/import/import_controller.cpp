// SPDX-License-Identifier: MIT
#include "gui/import/import_controller.h"

#include <QDateTime>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include "core/import/novel_importer.h"
#include "core/library/library_folder.h"
#include "gui/commands/command_router.h"
#include "gui/import/import_dialog.h"
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

bool ImportController::start(Job job)
{
    if (m_busy.exchange(true)) {
        emit titleChanged(u"正在解析中,请等待..."_s);
        return false;
    }
    const QModelIndex target = m_library.targetFolder();
    m_target = target;
    m_library.select(target);
    const fs::path targetPath = m_library.pathOf(target);
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
    auto announce = [this] {
        QMetaObject::invokeMethod(this, [this] { emit titleChanged(u"正在解析中,请等待..."_s); }, Qt::QueuedConnection);
    };
    if (job.folderMode) {
        announce();
        (void)import::importNovelFolder(toPath(job.paths.value(0)), target, options, {}, stop);
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
            (void)import::importNovelFolder(toPath(path), folder, options, {}, stop);
        } else if (path.contains(u".txt"_s) || path.contains(u".epub"_s) || !job.fromDrop) {
            announce();
            (void)import::importNovelFile(toPath(path), target, options, stop);
        }
    }
    return static_cast<int>(job.paths.size());
}

void ImportController::done()
{
    const int dropped = m_watcher.result();
    m_library.refreshFolder(m_target);
    m_busy = false;
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
