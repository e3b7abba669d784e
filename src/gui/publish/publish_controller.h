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

private:
    void report(std::u16string_view text);
    void warn(const QString& text);

    platform::AppFolders m_folders;
    QWidget* m_window;
    TransportFactory m_makeTransport;
    publish::BlogSiteList m_sites;
    bool m_sitesReadable = true;
    std::unique_ptr<platform::HttpTransport> m_transport;
    std::unique_ptr<text::PinyinTable> m_pinyin;
    std::unique_ptr<publish::BlogPublisher> m_publisher;
    std::atomic<bool> m_stop = false;
    bool m_busy = false;
    bool m_dropConnection = false;
    QFutureWatcher<Result<std::string>> m_watcher;
    std::vector<std::u16string> m_failedCategories;
};

}  // namespace veyla::gui
