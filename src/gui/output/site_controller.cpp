// SPDX-License-Identifier: MIT
#include "gui/output/site_controller.h"

#include <QFontDatabase>
#include <QProgressBar>
#include <QStatusBar>
#include <QtConcurrent/QtConcurrentRun>

#include "core/library/library_folder.h"
#include "core/output/listening_page.h"
#include "core/output/site_scripts.h"
#include "core/platform/shell_open.h"
#include "core/update/update_site.h"
#include "core/util/utf16.h"
#include "gui/app/message_box.h"
#include "gui/app/messages.h"
#include "gui/commands/command_router.h"
#include "gui/output/page_size_dialog.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

QString siteSummaryText(const output::SiteResult& result)
{
    QString text = result.stopped ? u"已停止生成HTML"_s
                                  : QString::fromStdU16String(std::u16string(output::kSiteDoneText));
    text += u"  新页面 %1，已有 %2，目录页 %3"_s.arg(result.pagesWritten).arg(result.pagesKept).arg(result.indexPagesWritten);
    if (!result.failures.empty())
        text += u"，失败 %1：%2"_s.arg(result.failures.size())
                    .arg(QString::fromStdU16String(library::pathText(result.failures.front().first.filename())));
    return text;
}

SiteController::SiteController(platform::AppFolders folders, DisplayState& display, LibraryTreeModel& model,
                               LibraryTreePane& pane, CommandRouter& router, QStatusBar& status, QWidget* window)
    : QObject(window), m_folders(std::move(folders)), m_display(display), m_model(model), m_pane(pane),
      m_status(status), m_window(window), m_progress(new QProgressBar(&status))
{
    m_progress->setMaximumWidth(200);
    m_progress->setTextVisible(false);
    m_progress->hide();
    status.addPermanentWidget(m_progress);
    m_opener = [](const fs::path& page) { (void)platform::openInBrowser(page); };
    connect(&m_watcher, &QFutureWatcher<output::SiteResult>::finished, this, &SiteController::done);
    const auto bindGenerate = [&](int id, output::SiteMode mode, bool english) {
        router.bind(id, [this, mode, english] { generate(m_pane.selectedIndex(), mode, english); });
    };
    bindGenerate(kSiteByChapter, output::SiteMode::Chapters, false);
    bindGenerate(kSiteWholeBook, output::SiteMode::WholeBook, false);
    bindGenerate(kSiteByChapterEnglish, output::SiteMode::Chapters, true);
    bindGenerate(kSiteWholeBookEnglish, output::SiteMode::WholeBook, true);
    router.bind(kSitePaging, [this] { showPageSizeDialog(); });
}

SiteController::~SiteController()
{
    requestStop();
    waitForFinished();
}

bool SiteController::generate(const QModelIndex& item, output::SiteMode mode, bool english)
{
    if (m_busy) {
        showMessage(m_window, MessageKind::Information, u"Veyla"_s, u"正在生成HTML，请等它完成"_s);
        return false;
    }
    library::LibraryTree* tree = m_model.tree();
    if (tree == nullptr || m_model.node(item) == nullptr)
        return false;
    output::SitePlan plan = output::planSite(*tree, m_model.node(item));
    if (plan.folders.empty()) {
        showMessage(m_window, MessageKind::Information, u"Veyla"_s, u"没有可以生成网站的文章"_s);
        return false;
    }
    if (english && m_vocabulary.empty())
        m_vocabulary = output::Vocabulary::load(m_folders.programControl("eng"));

    m_options = {};
    m_options.mode = mode;
    m_options.pageSize = m_display.settings.webPageSize;
    m_options.style.vocabulary = english ? &m_vocabulary : nullptr;
    m_options.readOptions.defaultFontSize = m_display.settings.textSize;
    output::applySiteMarkers(m_folders.dataFolder, m_options);
    applyPublisherSite(m_options.style);

    prepareScripts();

    m_busy = true;
    m_stop = std::stop_source();
    m_progress->setRange(0, static_cast<int>(std::max<std::size_t>(plan.chapterCount, 1)));
    m_progress->setValue(0);
    m_progress->show();
    const auto relay = [this](const output::SiteProgress& step) {
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdU16String(step.status), done = step.done,
                   total = step.total] { showStatus(text, done, total); },
            Qt::QueuedConnection);
    };
    m_watcher.setFuture(QtConcurrent::run(
        [plan = std::move(plan), dataFolder = m_folders.dataFolder, options = &m_options, stop = m_stop.get_token(),
         relay] { return output::generateSite(plan, dataFolder, *options, stop, relay); }));
    return true;
}

// The shipped page scripts in the data folder, and font.js with this
// system's fonts and the colour schemes.
void SiteController::prepareScripts()
{
    (void)output::installSiteScripts(m_folders.programFolder, m_folders.dataFolder);
    std::vector<std::u16string> fonts;
    for (const QString& family : QFontDatabase::families())
        fonts.push_back(family.toStdU16String());
    (void)output::writeFontScript(m_folders.dataFolder, fonts, m_display.schemes.schemes());
}

// The publisher's site of the update settings, when one is set, is where
// the pages' remote scripts and pictures come from.
void SiteController::applyPublisherSite(output::PageStyle& style) const
{
    if (const std::string site = update::readSiteSetting(m_folders.controlFile("preSet.ini")); !site.empty())
        style.publisherSite = utf16::fromUtf8(site);
}

bool SiteController::writeListeningPage(const library::Chapter& chapter)
{
    prepareScripts();
    output::PageStyle style;
    output::SiteOptions markers;
    output::applySiteMarkers(m_folders.dataFolder, markers);
    style.headerScript = markers.style.headerScript;
    applyPublisherSite(style);
    const auto page = output::writeListeningPage(m_folders.dataFolder, chapter, style, m_display.schemes.colours(),
                                                 m_display.settings.codeBackground);
    if (!page) {
        showMessage(m_window, MessageKind::Warning, u"Veyla"_s,
                    messageFor(page.error().code, Operation::Other) + u"\n"_s +
                        QString::fromStdString(page.error().detail));
        return false;
    }
    m_opener(*page);
    return true;
}

void SiteController::showStatus(const QString& text, std::size_t done, std::size_t total)
{
    if (!text.isEmpty())
        m_status.showMessage(text);
    if (total > 0)
        m_progress->setValue(static_cast<int>(std::min(done, total)));
}

void SiteController::requestStop()
{
    m_stop.request_stop();
}

void SiteController::waitForFinished()
{
    m_watcher.waitForFinished();
}

void SiteController::done()
{
    m_result = m_watcher.result();
    m_busy = false;
    m_progress->hide();
    m_status.showMessage(siteSummaryText(m_result));
    if (!m_result.stopped && !m_result.indexPage.empty() && m_opener)
        m_opener(m_result.indexPage);
    emit finished();
}

void SiteController::showPageSizeDialog()
{
    if (m_pageSizeDialog == nullptr) {
        m_pageSizeDialog = new PageSizeDialog(m_window);
        connect(m_pageSizeDialog, &PageSizeDialog::chosen, this,
                [this](int size) { m_display.settings.webPageSize = size; });
    }
    m_pageSizeDialog->setPageSize(m_display.settings.webPageSize);
    m_pageSizeDialog->show();
    m_pageSizeDialog->raise();
    m_pageSizeDialog->activateWindow();
}

PageSizeDialog* SiteController::pageSizeDialog() const
{
    return m_pageSizeDialog.data();
}

}  // namespace veyla::gui
