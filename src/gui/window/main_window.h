// SPDX-License-Identifier: MIT
#pragma once

#include <QFuture>
#include <QMainWindow>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <stop_token>

#include "core/library/chapter.h"
#include "core/library/recent_paths.h"
#include "core/platform/app_folders.h"
#include "gui/view/display_state.h"

class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;

namespace veyla::gui {

class AnnotationController;
class AudioRenderController;
class SiteController;
class BookmarkController;
class CommandRouter;
class DisplayController;
class ImportController;
class LibraryController;
class LibraryTreeModel;
class LibraryTreePane;
class MiningController;
class NameSearchController;
class PublishController;
class ReadingController;
class ReadingView;
class RibbonBar;
class MediaControls;
class SpeechController;
class UpdateController;

// The main window: ribbon, menu, status bar and the two panes (library tree
// and reading view). It builds the controllers, routes commands, runs the
// timers and the shutdown sequence. The logic lives in the controllers.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kAutosaveMilliseconds = 360000;

    explicit MainWindow(platform::AppFolders folders, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Fills the tree from the library folder (created when missing), shows
    // an opening text and reopens where reading stopped last time.
    void start();

    CommandRouter& router() const { return *m_router; }
    RibbonBar& ribbon() const { return *m_ribbon; }
    LibraryController& library() const { return *m_library; }
    LibraryTreePane& treePane() const { return *m_treePane; }
    ReadingController& reading() const { return *m_reading; }
    BookmarkController& bookmarks() const { return *m_bookmarks; }
    ImportController& importer() const { return *m_import; }
    const platform::AppFolders& folders() const { return m_folders; }
    const library::RecentPaths& recentPaths() const { return m_recent; }
    QMenu& fileMenu() const { return *m_fileMenu; }
    DisplayState& display() { return m_display; }
    ReadingView& readingView() const { return *m_view; }
    DisplayController& displayCommands() const { return *m_displayCommands; }
    AnnotationController& annotations() const { return *m_annotations; }
    SpeechController& speech() const { return *m_speech; }
    MediaControls& mediaControls() const { return *m_mediaControls; }
    AudioRenderController& audio() const { return *m_audio; }
    SiteController& site() const { return *m_site; }
    NameSearchController& nameSearch() const { return *m_nameSearch; }
    MiningController& mining() const { return *m_mining; }
    UpdateController& updates() const { return *m_update; }
    PublishController& publishing() const { return *m_publish; }

    void setAutosaveInterval(int milliseconds);
    int autosaveInterval() const { return m_autosaveMs; }
    bool autosaveActive() const { return m_autosave.isActive(); }

    // Makes folder the tree's root and puts it first among the recent paths.
    void openLibraryRoot(const std::filesystem::path& folder);

    // For workers: open the selected chapter again once a worker has
    // rewritten it, or show the page of a failed download. Both run on the
    // user-interface thread.
    void reopenSelectedSoon();
    void showDownloadFailedSoon();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void bindFrameCommands();
    void bindLookCommands();
    void applyLook(int id);
    void rebuildRecentMenu();
    void openRecent(std::size_t slot);
    void saveChapterCommand();
    void autosave();
    void openLocalSite();
    void loadNews();
    // The news link's caption and the page it opens (none: the status bar shows the caption).
    void showNews(const QString& text, const QString& link);
    void showOpeningText();
    void showEditedChapter(const library::Chapter& chapter);
    void bindEditCommands();
    void shutdown();

    platform::AppFolders m_folders;
    DisplayState m_display;
    library::RecentPaths m_recent;
    std::unique_ptr<CommandRouter> m_router;
    RibbonBar* m_ribbon = nullptr;
    QSplitter* m_splitter = nullptr;
    LibraryTreeModel* m_treeModel = nullptr;
    LibraryTreePane* m_treePane = nullptr;
    QStackedWidget* m_viewStack = nullptr;
    ReadingView* m_view = nullptr;
    DisplayController* m_displayCommands = nullptr;
    AnnotationController* m_annotations = nullptr;
    SpeechController* m_speech = nullptr;
    MediaControls* m_mediaControls = nullptr;
    AudioRenderController* m_audio = nullptr;
    SiteController* m_site = nullptr;
    LibraryController* m_library = nullptr;
    ReadingController* m_reading = nullptr;
    BookmarkController* m_bookmarks = nullptr;
    ImportController* m_import = nullptr;
    NameSearchController* m_nameSearch = nullptr;
    MiningController* m_mining = nullptr;
    QLabel* m_chapterNotice = nullptr;
    UpdateController* m_update = nullptr;
    PublishController* m_publish = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
    QTimer m_autosave;
    QTimer m_newsTimer;
    // The start-up sweep of temporary files that killed writers left.
    std::stop_source m_sweepStop;
    QFuture<std::size_t> m_sweep;
    int m_autosaveMs = kAutosaveMilliseconds;
    bool m_closing = false;
    bool m_shutDown = false;
};

}  // namespace veyla::gui
