// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <atomic>
#include <filesystem>
#include <memory>

#include "core/output/code_html.h"
#include "core/platform/app_folders.h"
#include "core/platform/http_transport.h"
#include "core/publish/blog_publisher.h"
#include "core/publish/blog_sites.h"
#include "core/text/pinyin_table.h"

class QWidget;

namespace veyla::gui {

class BlogPostsDialog;
class PresetDialog;

// Publishing to the blog chosen in "更多设置" (command 33421). The call runs
// on a worker thread, one publication at a time, so the window stays
// responsive; the status texts reach the status bar through status(). The
// connection, the categories made and the counts live until the chosen
// site changes. Choosing the command again while one runs stops it.
class PublishController : public QObject {
    Q_OBJECT
public:
    using TransportFactory = std::function<std::unique_ptr<platform::HttpTransport>()>;

    PublishController(platform::AppFolders folders, QWidget* window);
    ~PublishController() override;

    // Tests put a fake transport in place of libcurl.
    void setTransportFactory(TransportFactory factory) { m_makeTransport = std::move(factory); }

    // Publishes a chapter file of the library as the chosen site's post;
    // false when one runs, no site is chosen or the login is incomplete
    // (the user is told).
    bool publishChapter(const std::filesystem::path& chapterFile, const output::CodeHtmlOptions& options);
    // "读取博客文章": opens the "博客文章" window for a library folder and
    // lists the posts of the blog category that stands for it (the book's
    // name, as publishing files it): the folder's cache "0.txt" when it has
    // one, else the blog's list, which is then cached. The posts checked
    // there are read on the worker and written into the folder as chapters
    // on this thread. False when a call runs or no site is ready.
    bool showPosts(const std::filesystem::path& libraryFolder, const std::filesystem::path& folder);
    // Lists again from the blog (refresh) or from the cache.
    bool listPosts(bool refresh);
    bool fetchPosts(std::vector<publish::RemotePost> posts);
    BlogPostsDialog* postsDialog() const { return m_postsDialog; }

    bool isBusy() const { return m_busy; }
    void requestStop() { m_stop = true; }
    void waitForFinished();

    // The "发布" group for the settings dialog; on OK the edited list is kept.
    void extendPresetDialog(PresetDialog& dialog);
    const publish::BlogSiteList& sites() const { return m_sites; }
    // Keeps and saves the list; a change of the chosen site drops the connection.
    bool setSites(publish::BlogSiteList sites);

signals:
    void status(const QString& text);
    void finished(bool published);
    void postsListed(int count);
    // Chapters written into folder from the blog, in the order read.
    void postsFetched(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& chapters);

private:
    // What a read-back call on the worker brings home.
    struct ReadBack {
        Status status;
        bool listing = true;
        std::vector<publish::RemotePost> posts;
        std::vector<std::pair<std::u16string, std::u16string>> texts;  // title, chapter text
    };

    bool ensurePublisher();
    void report(std::u16string_view text);
    void warn(const QString& text);
    QString callError(const Error& error) const;
    void readBackFinished();

    platform::AppFolders m_folders;
    QWidget* m_window;
    TransportFactory m_makeTransport;
    publish::BlogSiteList m_sites;
    bool m_sitesReadable = true;
    QString m_sitesProblem;  // why the site list could not be read
    std::unique_ptr<platform::HttpTransport> m_transport;
    std::unique_ptr<text::PinyinTable> m_pinyin;
    std::unique_ptr<publish::BlogPublisher> m_publisher;
    std::atomic<bool> m_stop = false;
    bool m_busy = false;
    bool m_dropConnection = false;
    QFutureWatcher<Result<std::string>> m_watcher;
    std::vector<std::u16string> m_failedCategories;
    QFutureWatcher<ReadBack> m_readBack;
    BlogPostsDialog* m_postsDialog = nullptr;
    std::filesystem::path m_postsLibrary;
    std::filesystem::path m_postsFolder;
    std::u16string m_postsCategory;
};

}  // namespace veyla::gui
