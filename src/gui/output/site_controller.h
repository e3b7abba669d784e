// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>

#include <filesystem>
#include <functional>
#include <stop_token>

#include "core/library/chapter.h"
#include "core/output/site_generator.h"
#include "core/output/vocabulary.h"
#include "core/platform/app_folders.h"

class QLabel;
class QModelIndex;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace veyla::gui {

class CommandRouter;
class DisplayState;
class LibraryTreeModel;
class LibraryTreePane;
class PageSizeDialog;

// The local website commands of the tree: "生成本地网站 按章节" (508), "全书
// 内容" (509) and their English-annotated forms (513, 514), and the page-size
// dialog "分页设置" (512). The walk of the tree happens on the GUI thread;
// the pages are written on a worker that gets the plan, never the tree,
// and reports to the status bar as queued calls ("正在生成HTML...... %s  ",
// then "生成HTML 完毕 success"), with a progress bar beside it. At the end
// the index page of the book opens in the browser. One generation runs at a
// time; a second start is refused while it runs.
class SiteController : public QObject {
    Q_OBJECT
public:
    SiteController(platform::AppFolders folders, DisplayState& display, LibraryTreeModel& model,
                   LibraryTreePane& pane, CommandRouter& router, QStatusBar& status, QWidget* window);
    ~SiteController() override;

    // Generates the site of the item's book or folder; false when refused or empty.
    bool generate(const QModelIndex& item, output::SiteMode mode, bool english);
    bool isBusy() const { return m_busy; }
    void requestStop();
    void waitForFinished();

    // Writes the listening page 听小说.html of a chapter (the open one) and
    // opens it; font.js is written first. False (with a message) on failure.
    bool writeListeningPage(const library::Chapter& chapter);

    // Shows the page-size dialog (made once, then shown again).
    void showPageSizeDialog();
    PageSizeDialog* pageSizeDialog() const;

    // How a finished generation opens its index page (tests record it instead).
    void setPageOpener(std::function<void(const std::filesystem::path&)> opener) { m_opener = std::move(opener); }
    const output::SiteResult& lastResult() const { return m_result; }
    const output::Vocabulary& vocabulary() const { return m_vocabulary; }

signals:
    void finished();

private:
    void applyPublisherSite(output::PageStyle& style) const;
    void showStatus(const QString& text, std::size_t done, std::size_t total);
    void prepareScripts();
    void done();

    platform::AppFolders m_folders;
    DisplayState& m_display;
    LibraryTreeModel& m_model;
    LibraryTreePane& m_pane;
    QStatusBar& m_status;
    QWidget* m_window;
    QProgressBar* m_progress;
    QPointer<PageSizeDialog> m_pageSizeDialog;
    output::Vocabulary m_vocabulary;  // loaded on first English generation, kept for the run
    output::SiteOptions m_options;    // of the generation running; the worker reads it
    std::stop_source m_stop;
    QFutureWatcher<output::SiteResult> m_watcher;
    output::SiteResult m_result;
    std::function<void(const std::filesystem::path&)> m_opener;
    bool m_busy = false;
};

// The outcome as the status bar shows it after the done text.
QString siteSummaryText(const output::SiteResult& result);

}  // namespace veyla::gui
