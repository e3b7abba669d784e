// SPDX-License-Identifier: MIT
#include "gui/window/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "core/library/chapter_file.h"
#include "core/platform/file_io.h"
#include "core/platform/shell_open.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/preset_dialog.h"
#include "gui/import/import_controller.h"
#include "gui/output/site_controller.h"
#include "gui/publish/publish_controller.h"
#include "gui/search/mining_controller.h"
#include "gui/search/name_search_controller.h"
#include "gui/speech/audio_render_controller.h"
#include "gui/speech/speech_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/speech/media_controls.h"
#include "gui/update/update_controller.h"
#include "gui/view/bookmark_controller.h"
#include "gui/view/annotation_controller.h"
#include "gui/view/display_controller.h"
#include "gui/view/reading_view.h"
#include "gui/view/reading_controller.h"
#include "gui/view/view_context_menu.h"
#include "gui/window/ribbon_bar.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

MainWindow::MainWindow(platform::AppFolders folders, QWidget* parent)
    : QMainWindow(parent), m_folders(std::move(folders)), m_display(m_folders),
      m_router(std::make_unique<CommandRouter>(this))
{
    setWindowTitle(u"Veyla"_s);
    m_display.load();
    setObjectName(u"mainWindow"_s);
    resize(1280, 800);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_ribbon = new RibbonBar(*m_router, central);
    layout->addWidget(m_ribbon);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_treeModel = new LibraryTreeModel(this);
    m_treePane = new LibraryTreePane(*m_treeModel, *m_router, m_splitter);
    m_viewStack = new QStackedWidget(m_splitter);
    m_viewStack->setObjectName(u"viewStack"_s);
    m_view = new ReadingView(m_display, m_viewStack);
    m_viewStack->addWidget(m_view);
    m_splitter->addWidget(m_treePane);
    m_splitter->addWidget(m_viewStack);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({300, 980});
    layout->addWidget(m_splitter, 1);
    setCentralWidget(central);
    statusBar()->showMessage(u"就绪"_s);

    m_library = new LibraryController(*m_treeModel, *m_treePane, *m_router,
                                      platform::trashLocationsFor(m_folders.dataFolder), this);
    m_reading = new ReadingController(*m_view, *m_router, this);
    m_bookmarks = new BookmarkController(m_folders, *m_library, *m_reading, *m_viewStack, *m_router, this);
    m_import = new ImportController(m_folders, *m_library, *m_router, this);

    connect(m_library, &LibraryController::chapterSelected, this, [this](const fs::path& path) {
        m_viewStack->setCurrentIndex(0);
        if (path == m_reading->chapterPath())
            return;
        if (!m_reading->save(ReadingController::SaveMoment::Leaving)) {
            // The open chapter could not be saved: it stays open, and selected.
            QTimer::singleShot(0, this, [this] { m_library->selectPath(m_reading->chapterPath()); });
            return;
        }
        m_reading->openChapter(path);
    });
    m_chapterNotice = new QLabel(this);
    m_chapterNotice->setObjectName(u"chapterNotice"_s);
    m_chapterNotice->setStyleSheet(u"QLabel { background: #b3261e; color: white; padding: 1px 6px; }"_s);
    m_chapterNotice->hide();
    statusBar()->addPermanentWidget(m_chapterNotice);
    connect(m_reading, &ReadingController::noticeChanged, this, [this](const QString& notice) {
        m_chapterNotice->setText(notice);
        m_chapterNotice->setVisible(!notice.isEmpty());
    });
    connect(m_library, &LibraryController::chapterCreated, m_reading, &ReadingController::adoptNewChapter);
    connect(m_library, &LibraryController::itemRenamed, this,
            [this](const auto& oldNames, const auto& newName, const fs::path& from, const fs::path& to) {
                m_reading->pathRenamed(from, to);
                m_bookmarks->itemRenamed(oldNames, newName);
            });
    connect(m_library, &LibraryController::itemDeleted, m_reading, &ReadingController::pathDeleted);
    connect(m_import, &ImportController::titleChanged, this, &QWidget::setWindowTitle);
    // While an import runs the view keeps still; it catches up when the import is done.
    m_view->setStillWhile([this] { return m_import->isBusy(); });
    connect(m_import, &ImportController::finished, m_view, &ReadingView::resume);
    m_displayCommands =
        new DisplayController(m_display, *m_view, *m_treePane, *m_ribbon, *m_router, m_import->presets(), this);
    m_annotations = new AnnotationController(m_display, *m_view, *m_ribbon, *m_router, *m_library, this);
    m_speech = new SpeechController(m_display, *m_view, *m_router, *m_ribbon, *m_displayCommands, *statusBar(), this);
    m_speech->startDefaultEngine();
    m_mediaControls = new MediaControls(*m_speech, *m_reading, *m_router, this);
    connect(m_speech, &SpeechController::runEnded, this, [this](speech::RunEnd end) {
        if (end == speech::RunEnd::TimerEnded)
            m_bookmarks->saveExitPosition();
    });
    m_audio = new AudioRenderController(m_folders, m_display, *m_treeModel, *m_treePane, *m_router, this);
    m_site = new SiteController(m_folders, m_display, *m_treeModel, *m_treePane, *m_router, *statusBar(), this);
    m_nameSearch = new NameSearchController(m_display, *m_treeModel, *m_treePane, *m_router, this);
    m_mining = new MiningController(m_display, *m_treeModel, *m_treePane, *m_router,
                                    platform::trashLocationsFor(m_folders.dataFolder), this);
    connect(m_mining, &MiningController::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_mining, &MiningController::resultsReplacing, m_reading, &ReadingController::pathDeleted);
    connect(m_mining, &MiningController::message, this, [this](const QString& text) { statusBar()->showMessage(text); });
    m_publish = new PublishController(m_folders, this);
    connect(m_publish, &PublishController::status, this, [this](const QString& text) { statusBar()->showMessage(text); });
    m_displayCommands->setPresetDialogExtension([this](PresetDialog& dialog) { m_publish->extendPresetDialog(dialog); });
    m_router->bind(kBlogPosts, [this] {
        m_publish->showPosts(m_library->rootFolder(), m_library->pathOf(m_library->targetFolder()));
    });
    connect(m_publish, &PublishController::postsFetched, this,
            [this](const std::filesystem::path& folder, const std::vector<std::filesystem::path>& chapters) {
                m_library->refreshPath(folder);
                m_library->selectPath(chapters.front());
            });
    m_view->setContextMenuFiller([this](QMenu& menu) {
        ViewMenuState state;
        state.expandAllAtStart = m_display.settings.openAll;
        state.fullScreen = isFullScreen();
        state.paragraphMode = m_view->paragraphMode();
        state.chapterIsBookmarked = m_bookmarks->isBookmarked(m_reading->chapterPath());
        fillViewContextMenu(menu, *m_router, state);
    });

    buildMenus();
    bindFrameCommands();
    bindEditCommands();
    m_displayCommands->repaintAll();
    bindLookCommands();
    loadNews();
    m_update = new UpdateController(m_folders, fs::path(QCoreApplication::applicationFilePath().toStdU16String()),
                                    *m_router, this);
    connect(m_update, &UpdateController::newsChanged, this, &MainWindow::showNews);
    connect(m_update, &UpdateController::message, this, [this](const QString& text) { statusBar()->showMessage(text); });

    m_autosave.setSingleShot(true);
    connect(&m_autosave, &QTimer::timeout, this, &MainWindow::autosave);
    setAcceptDrops(true);
}

MainWindow::~MainWindow()
{
    shutdown();
}

void MainWindow::start()
{
    const fs::path library = m_folders.libraryFolder();
    std::error_code ec;
    if (!fs::exists(library, ec))
        fs::create_directory(library, ec);
    m_library->showRoot(library, m_display.settings.openAll);
    showOpeningText();
    m_bookmarks->load();
    m_bookmarks->reopenExitPosition();
    m_autosave.start(m_autosaveMs);
    m_newsTimer.start(1000);
    m_update->startCheck();
    // A save killed half-way (power cut, kill -9) leaves a hidden temporary
    // file beside the chapter, never the chapter torn; they are cleared away
    // in the background, each only when no writer holds it.
    m_sweep = QtConcurrent::run([folder = m_folders.dataFolder, stop = m_sweepStop.get_token()] {
        return platform::removeStaleTemporaryFilesBelow(folder, stop);
    });
}

void MainWindow::setAutosaveInterval(int milliseconds)
{
    m_autosaveMs = milliseconds;
    if (m_autosave.isActive())
        m_autosave.start(m_autosaveMs);
}

void MainWindow::saveChapterCommand()
{
    m_autosave.stop();
    m_reading->save(ReadingController::SaveMoment::Command);
    m_autosave.start(m_autosaveMs);
}

void MainWindow::autosave()
{
    if (!m_library->rootFolder().empty() && !m_reading->chapterPath().empty())
        m_reading->save(ReadingController::SaveMoment::Autosave);
    m_autosave.start(m_autosaveMs);
}

void MainWindow::reopenSelectedSoon()
{
    QTimer::singleShot(0, this, [this] {
        const fs::path selected = m_library->selectedPath();
        if (!selected.empty())
            m_reading->openChapter(selected);
    });
}

void MainWindow::showDownloadFailedSoon()
{
    QTimer::singleShot(0, this, [this] { m_reading->openPage(m_folders.programControl("chaoshi.xml")); });
}

void MainWindow::loadNews()
{
    auto news = library::readChapter(m_folders.programControl("zixun.xml"), {});
    auto* label = m_ribbon->control<QLabel>(kNewsLink);
    if (news && label != nullptr && !news->paragraphs.empty()) {
        QString text = QString::fromStdU16String(news->paragraphs.front().text()).trimmed();
        const QString link = news->paragraphs.size() > 1
                                 ? QString::fromStdU16String(news->paragraphs[1].text()).trimmed()
                                 : QString();
        showNews(text, link);
    }
    connect(&m_newsTimer, &QTimer::timeout, this, [this] {
        if (auto* face = m_ribbon->control<QLabel>(kNewsFace))
            face->setText(face->text() == u"(◔◡◔✿)"_s ? u"(◕◡◕✿)"_s : u"(◔◡◔✿)"_s);
    });
}

void MainWindow::showNews(const QString& text, const QString& link)
{
    auto* label = m_ribbon->control<QLabel>(kNewsLink);
    if (label == nullptr || text.isEmpty())
        return;
    label->setText(link.isEmpty() ? text : u"<a href=\"%1\">%2</a>"_s.arg(link.toHtmlEscaped(), text.toHtmlEscaped()));
    // The news link opens its page in the browser; news without a link shows in the status bar.
    for (int id : {kNewsLink, kNewsLinkMenu}) {
        m_router->bind(id, [this, text, link] {
            if (link.isEmpty())
                statusBar()->showMessage(text, 10000);
            else
                (void)platform::openInBrowser(fs::path(link.toStdU16String()));
        });
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_shutDown && !m_reading->saveBeforeClosing()) {
        event->ignore();
        return;
    }
    shutdown();
    event->accept();
}

void MainWindow::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_closing = true;
    m_import->requestStop();
    m_nameSearch->requestStop();
    m_mining->requestStop();
    m_update->requestStop();
    m_publish->requestStop();
    // Read-aloud and rendering end before anything is saved: both are
    // asked to stop first, so that they wind down together. The window
    // goes at once; a rendering finishes the chapters it has begun.
    m_sweepStop.request_stop();
    m_speech->stop();
    m_audio->requestStop();
    m_site->requestStop();
    hide();
    m_audio->hideDialog();
    m_speech->wait();
    m_audio->waitForFinished();
    m_site->waitForFinished();
    m_publish->waitForFinished();
    if (!m_library->rootFolder().empty())
        m_router->trigger(kSaveChapter);
    m_autosave.stop();
    m_newsTimer.stop();
    m_bookmarks->storeExitPosition();
    m_bookmarks->save();
    m_import->waitForFinished();
    m_nameSearch->waitForFinished();
    m_mining->waitForFinished();
    m_update->waitForFinished();
    m_sweep.waitForFinished();
    m_display.settings.pageWidth = m_view->model().geometry().pageWidth();
    (void)m_display.save();
    (void)m_annotations->save();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (!paths.isEmpty()) {
        m_import->importDropped(paths);
        event->acceptProposedAction();
    }
}

}  // namespace veyla::gui
