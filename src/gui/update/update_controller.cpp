// SPDX-License-Identifier: MIT
#include "gui/update/update_controller.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

#include <chrono>

#include "core/platform/file_io.h"
#include "core/platform/shell_open.h"
#include "core/update/byte_size.h"
#include "core/update/update_site.h"
#include "gui/app/message_box.h"
#include "gui/commands/command_id.h"
#include "gui/commands/command_router.h"
#include "gui/update/catalogue_dialog.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;
using namespace update;

namespace {

const QString kTitle = u"Veyla"_s;

QString noSiteText()
{
    return u"未设置更新网址（control/preSet.ini 的 [Update] 一节的 Site），程序不会连接网络。"_s;
}

}  // namespace

UpdateController::UpdateController(platform::AppFolders folders, fs::path executable, CommandRouter& router,
                                   QWidget* window)
    : QObject(window), m_window(window), m_checkTransport(platform::makeCurlTransport())
{
    m_context.site = readSiteSetting(folders.controlFile("preSet.ini"));
    m_context.folders = std::move(folders);
    m_context.executable = std::move(executable);
    m_checker = std::make_unique<UpdateChecker>(*m_checkTransport, m_context);

    connect(&m_check, &QFutureWatcher<CheckReport>::finished, this, &UpdateController::checkDone);
    connect(&m_install, &QFutureWatcher<InstallReport>::finished, this, &UpdateController::installDone);
    connect(&m_catalogueJob, &QFutureWatcher<Status>::finished, this, &UpdateController::catalogueDone);
    router.bind(kCheckUpdate, [this] { checkCommand(); });
    router.bind(kUpgrade, [this] { showCatalogue(); });
    router.bind(kOfficialSite, [this] { openOfficialSite(); });
    router.bind(kOfficialSiteMenu, [this] { openOfficialSite(); });
}

UpdateController::~UpdateController()
{
    requestStop();
    waitForFinished();
}

CatalogueDialog* UpdateController::catalogue() const
{
    return m_catalogue;
}

QMessageBox* UpdateController::prompt() const
{
    return m_prompt;
}

bool UpdateController::isBusy() const
{
    return m_checking || m_installing || m_catalogueBusy;
}

void UpdateController::requestStop()
{
    m_stop = true;
}

void UpdateController::waitForFinished()
{
    m_check.waitForFinished();
    m_install.waitForFinished();
    m_catalogueJob.waitForFinished();
    // Only a closing program waits; what the jobs found is not shown any more.
    if (m_stop)
        m_checking = m_installing = m_catalogueBusy = false;
}

DownloadProgress UpdateController::progressTo(QObject* receiver,
                                              std::function<void(const platform::HttpProgress&)> show)
{
    // Called on the worker: hands the figures to the user-interface thread a
    // few times a second, and stops the transfer when the program closes.
    auto last = std::make_shared<std::chrono::steady_clock::time_point>();
    return [this, receiver, show = std::move(show), last](const platform::HttpProgress& progress) {
        const auto now = std::chrono::steady_clock::now();
        const bool complete = progress.total && progress.received >= *progress.total;
        if (show && receiver != nullptr && (complete || now - *last > std::chrono::milliseconds(100))) {
            *last = now;
            QMetaObject::invokeMethod(receiver, [show, progress] { show(progress); }, Qt::QueuedConnection);
        }
        return !m_stop.load();
    };
}

void UpdateController::startCheck()
{
    if (m_checking || m_stop)
        return;
    m_checking = true;
    m_check.setFuture(QtConcurrent::run([this] { return m_checker->check(progressTo(nullptr, {})); }));
}

void UpdateController::checkCommand()
{
    if (m_context.site.empty()) {
        showMessage(m_window, MessageKind::Information, kTitle, noSiteText());
        return;
    }
    if (!executableMayUpdate(m_context.executable)) {
        showMessage(m_window, MessageKind::Information, kTitle,
                    u"此程序由软件包管理器更新，不自行更新（程序文件名不含“小说”）。"_s);
        return;
    }
    if (m_checker->isCurrent()) {
        showMessage(m_window, MessageKind::Information, kTitle, u"已是最新版"_s);
        return;
    }
    m_checker->requestPrompt();
    startCheck();
}

void UpdateController::checkDone()
{
    const CheckReport report = m_check.result();
    m_checking = false;
    switch (report.outcome) {
    case CheckOutcome::UpToDate:
    case CheckOutcome::NewerBuild:
    case CheckOutcome::OfferUpdate:
        emit newsChanged(QString::fromStdU16String(report.info.newsName),
                         QString::fromStdU16String(report.info.newsUrl));
        break;
    default:
        break;
    }
    if (report.script == ScriptRefresh::Refreshed)
        emit message(u"网页脚本已更新：HTML/js/myVueCode.js"_s);
    if (report.outcome == CheckOutcome::OfferUpdate && !m_stop)
        showPrompt();
    emit checkFinished(static_cast<int>(report.outcome));
}

void UpdateController::showPrompt()
{
    if (m_prompt != nullptr)
        return;
    auto* box = new QMessageBox(QMessageBox::Information, u"程序更新"_s, u"有最新版本了，请更新使用"_s,
                                QMessageBox::NoButton, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    auto* online = box->addButton(u"在线更新"_s, QMessageBox::AcceptRole);
    auto* web = box->addButton(u"从网站下载更新"_s, QMessageBox::ActionRole);
    connect(box, &QMessageBox::buttonClicked, this, [this, online, web](QAbstractButton* button) {
        if (button == online)
            installOnline();
        else if (button == web)
            openOfficialSite();
    });
    m_prompt = box;
    box->open();
}

void UpdateController::installOnline()
{
    if (m_installing || m_stop)
        return;
    m_installing = true;
    emit message(u"正在下载更新……"_s);
    auto progress = progressTo(this, [this](const platform::HttpProgress& p) {
        emit message(QString::fromStdString(downloadProgressText(p.received, p.total).text));
    });
    m_install.setFuture(QtConcurrent::run([this, progress] {
        auto transport = platform::makeCurlTransport();
        return installUpdate(*transport, m_context, progress);
    }));
}

void UpdateController::installDone()
{
    const InstallReport report = m_install.result();
    m_installing = false;
    switch (report.outcome) {
    case InstallOutcome::Installed:
        showMessage(m_window, MessageKind::Information, kTitle, u"安装完毕，建议重新启动软件。。。"_s);
        break;
    case InstallOutcome::InstallFailed:
        showMessage(m_window, MessageKind::Warning, kTitle, u"安装失败，请重新下载或手动安装试试。。。"_s);
        break;
    case InstallOutcome::DownloadFailed:
        showMessage(m_window, MessageKind::Warning, kTitle, u"下载失败，请从网站更新"_s);
        openOfficialSite();
        break;
    case InstallOutcome::NotWritable:
        showMessage(m_window, MessageKind::Warning, kTitle,
                    u"程序文件夹不能写入，无法在线更新：%1\n系统安装的程序请用软件包管理器更新。"_s.arg(
                        QString::fromStdString(report.detail)));
        break;
    case InstallOutcome::NoSite:
        showMessage(m_window, MessageKind::Information, kTitle, noSiteText());
        break;
    case InstallOutcome::Cancelled:
        break;
    }
    emit message(QString());
    emit installFinished(static_cast<int>(report.outcome));
}

void UpdateController::openOfficialSite()
{
    if (m_context.site.empty()) {
        emit message(noSiteText());
        return;
    }
    (void)platform::openInBrowser(fs::path(m_context.site + "/"));
}

void UpdateController::showCatalogue()
{
    if (m_catalogue == nullptr) {
        m_catalogue = new CatalogueDialog(m_window);
        connect(m_catalogue, &CatalogueDialog::refreshRequested, this, &UpdateController::refreshCatalogue);
        connect(m_catalogue, &CatalogueDialog::downloadRequested, this, &UpdateController::downloadCatalogueRow);
    }
    m_catalogue->show();
    m_catalogue->raise();
    m_catalogue->activateWindow();
    refreshCatalogue();
}

void UpdateController::fillCatalogueFromCopy()
{
    Result<std::string> bytes = platform::readWholeFile(catalogueListFile(m_context.folders));
    m_list = parseCatalogue(bytes ? *bytes : std::string(), catalogueFolder(m_context.folders));
    std::vector<QString> rows;
    for (const auto& row : m_list.rows())
        rows.push_back(QString::fromStdU16String(row));
    if (m_catalogue != nullptr)
        m_catalogue->setRows(rows, !m_list.names.empty());
}

void UpdateController::refreshCatalogue()
{
    if (m_catalogueBusy || m_stop)
        return;
    if (m_context.site.empty()) {
        fillCatalogueFromCopy();
        emit message(noSiteText());
        return;
    }
    if (m_catalogue != nullptr)
        m_catalogue->setBusy(true);
    m_catalogueJobIsDownload = false;
    m_catalogueBusy = true;
    m_catalogueJob.setFuture(QtConcurrent::run([this] {
        auto transport = platform::makeCurlTransport();
        DownloadLimits limits;
        limits.deadline = std::chrono::seconds(60);
        return fetchCatalogue(*transport, m_context.site, m_context.folders, limits);
    }));
}

void UpdateController::downloadCatalogueRow(int row)
{
    if (m_catalogueBusy || m_stop || row < 0 || m_list.names.empty())
        return;
    if (row == 0) {
        if (!m_list.downloadPage.empty())
            (void)platform::openInBrowser(fs::path(m_list.downloadPage));
        return;
    }
    if (static_cast<std::size_t>(row) > m_list.names.size())
        return;
    const std::u16string name = m_list.names[static_cast<std::size_t>(row) - 1];
    m_catalogue->setBusy(true);
    m_catalogueJobIsDownload = true;
    m_catalogueBusy = true;
    auto progress = progressTo(m_catalogue, [dialog = QPointer<CatalogueDialog>(m_catalogue)](const platform::HttpProgress& p) {
        if (dialog == nullptr)
            return;
        const auto shown = downloadProgressText(p.received, p.total);
        dialog->setProgress(QString::fromStdString(shown.text), shown.percent);
    });
    const fs::path folder = catalogueFolder(m_context.folders);
    m_catalogueJob.setFuture(QtConcurrent::run([this, name, folder, progress] {
        auto transport = platform::makeCurlTransport();
        DownloadLimits limits;
        limits.deadline = std::chrono::minutes(30);
        return downloadPackage(*transport, m_context.site, name, folder, limits, progress);
    }));
}

void UpdateController::catalogueDone()
{
    const Status done = m_catalogueJob.result();
    m_catalogueBusy = false;
    if (m_catalogue != nullptr)
        m_catalogue->setBusy(false);
    if (m_catalogueJobIsDownload) {
        if (!done && done.code() != ErrorCode::Cancelled && !m_stop)
            showMessage(m_window, MessageKind::Warning, kTitle, u"下载失败"_s);
        else if (done)
            emit message(u"下载完成"_s);
    } else if (!done && !m_stop) {
        emit message(u"书目列表未能更新：%1"_s.arg(QString::fromStdString(done.error().detail)));
    }
    if (!m_stop)
        fillCatalogueFromCopy();
    emit catalogueFinished();
}

}  // namespace veyla::gui
