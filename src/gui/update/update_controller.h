// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "core/platform/app_folders.h"
#include "core/platform/http_transport.h"
#include "core/update/catalogue.h"
#include "core/update/update_checker.h"

class QWidget;

namespace veyla::gui {

class CatalogueDialog;
class CommandRouter;

// Online update and the download catalogue: the build check at start-up
// and on "检查更新", the dialog "程序更新" and its installation, "官网",
// and the window "书海拾遗" ("升级更新"). Every network job runs on a
// worker, one at a time per kind; the window keeps painting and answering.
// Closing stops a running download, which leaves no partial file.
// The site is [Update] Site of control/preSet.ini; without it nothing
// touches the network.
class UpdateController : public QObject {
    Q_OBJECT
public:
    UpdateController(platform::AppFolders folders, std::filesystem::path executable, CommandRouter& router,
                     QWidget* window);
    ~UpdateController() override;

    const std::string& site() const { return m_context.site; }
    // The build check on a worker; shows the prompt when one is due and
    // nothing otherwise.
    void startCheck();
    // "检查更新" (ID_BTN_UPDATA).
    void checkCommand();
    // "在线更新": downloads and installs the publisher's archive.
    void installOnline();
    // "官网": the publisher's home page in the browser.
    void openOfficialSite();
    // "升级更新": shows the catalogue window (made once) and fills its list.
    void showCatalogue();
    void refreshCatalogue();
    void downloadCatalogueRow(int row);

    CatalogueDialog* catalogue() const;
    QMessageBox* prompt() const;
    bool isBusy() const;
    void requestStop();
    void waitForFinished();

signals:
    // The news link's caption and address from the update information.
    void newsChanged(const QString& caption, const QString& address);
    // A line for the status bar.
    void message(const QString& text);
    void checkFinished(int outcome);  // an update::CheckOutcome
    void installFinished(int outcome);  // an update::InstallOutcome
    void catalogueFinished();

private:
    update::DownloadProgress progressTo(QObject* receiver, std::function<void(const platform::HttpProgress&)> show);
    void checkDone();
    void installDone();
    void catalogueDone();
    void fillCatalogueFromCopy();
    void showPrompt();

    QWidget* m_window;
    update::UpdateContext m_context;
    std::unique_ptr<platform::HttpTransport> m_checkTransport;
    std::unique_ptr<update::UpdateChecker> m_checker;
    std::atomic<bool> m_stop{false};
    QFutureWatcher<update::CheckReport> m_check;
    QFutureWatcher<update::InstallReport> m_install;
    QFutureWatcher<Status> m_catalogueJob;
    bool m_catalogueJobIsDownload = false;
    // Set when a job starts, cleared when its result was handled.
    bool m_checking = false;
    bool m_installing = false;
    bool m_catalogueBusy = false;
    QPointer<CatalogueDialog> m_catalogue;
    QPointer<QMessageBox> m_prompt;
    update::CatalogueList m_list;
};

}  // namespace veyla::gui
