// SPDX-License-Identifier: MIT
// The main window's own commands: the file menu, recent paths, paging,
// full screen, the start-up option, the application look, the local site.
#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

#include "core/library/library_folder.h"
#include "core/platform/ini_file.h"
#include "core/platform/shell_open.h"
#include "gui/app/message_box.h"
#include "gui/commands/command_router.h"
#include "gui/import/import_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

namespace {

// The application profile: the recent paths ("Mru File") and the look.
fs::path appProfile(const platform::AppFolders& folders)
{
    return folders.dataControl("app.ini");
}

}  // namespace

void MainWindow::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(u"文件(&F)"_s);
    m_fileMenu->addAction(m_router->action(kOpenPath));
    m_fileMenu->addAction(m_router->action(kNewChapterMenu));
    m_fileMenu->addAction(m_router->action(kSaveChapter));
    m_fileMenu->addSeparator();
    m_recentMenu = m_fileMenu->addMenu(u"最近路径"_s);  // the fifth item; "清理最近任务" is its last item
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_router->action(kExit));
    m_router->action(kSaveChapter)->setShortcut(QKeySequence::Save);
    addAction(m_router->action(kSaveChapter));
    rebuildRecentMenu();
}

void MainWindow::bindFrameCommands()
{
    m_router->bind(kSaveChapter, [this] { saveChapterCommand(); });
    m_router->bind(kOpenPath, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, u"请选择目录（XML目录）"_s);
        if (!folder.isEmpty())
            openLibraryRoot(fs::path(folder.toStdU16String()));
    });
    for (int slot = 0; slot < 4; ++slot)
        m_router->bind(kRecentPath1 + slot, [this, slot] { openRecent(static_cast<std::size_t>(slot)); });
    m_router->bind(kClearRecentPaths, [this] {
        m_recent.clear();
        rebuildRecentMenu();
    });
    m_router->bind(kNewChapterMenu, [this] {
        if (!m_reading->save(ReadingController::SaveMoment::Leaving))
            return;
        m_router->trigger(kNewChapter);
    });
    m_router->bind(kExit, [this] { close(); });
    m_router->bind(kNextPage, [this] { m_router->trigger(kNextChapter); });
    m_router->bind(kPreviousPage, [this] { m_router->trigger(kPreviousChapter); });
    m_router->bind(kFullScreen, [this] {
        isFullScreen() ? showNormal() : showFullScreen();
        m_router->action(kFullScreen)->setChecked(isFullScreen());
    });
    m_router->action(kExpandAllAtStart)->setChecked(m_display.settings.openAll);
    m_router->bind(kExpandAllAtStart, [this] {
        m_display.settings.openAll = !m_display.settings.openAll;
        m_router->action(kExpandAllAtStart)->setChecked(m_display.settings.openAll);
    });
    m_router->bind(kOpenLocalSite, [this] { openLocalSite(); });
    rebuildRecentMenu();
}

void MainWindow::bindLookCommands()
{
    auto* group = new QActionGroup(this);
    for (int id : {kLookBlue, kLookBlack, kLookSilver, kLookAqua}) {
        group->addAction(m_router->action(id));
        m_router->bind(id, [this, id] {
            applyLook(id);
            (void)platform::writeProfileString(appProfile(m_folders), u"Workspace", u"ApplicationLook",
                                               library::pathText(std::to_string(id)));
        });
    }
    const auto saved = platform::readProfileInteger(appProfile(m_folders), u"Workspace", u"ApplicationLook", kLookBlue);
    applyLook(saved >= kLookBlue && saved <= kLookAqua ? static_cast<int>(saved) : kLookBlue);
}

void MainWindow::applyLook(int id)
{
    // Each look tints the ribbon and the status bar.
    QColor tint;
    switch (id) {
    case kLookBlack: tint = QColor(0x4a, 0x4a, 0x4f); break;
    case kLookSilver: tint = QColor(0xe4, 0xe7, 0xeb); break;
    case kLookAqua: tint = QColor(0xd5, 0xee, 0xec); break;
    default: tint = QColor(0xdc, 0xe8, 0xf7); break;
    }
    QPalette p = m_ribbon->palette();
    p.setColor(QPalette::Window, tint);
    p.setColor(QPalette::WindowText, tint.lightness() < 128 ? Qt::white : Qt::black);
    p.setColor(QPalette::ButtonText, tint.lightness() < 128 ? Qt::white : Qt::black);
    m_ribbon->setAutoFillBackground(true);
    m_ribbon->setPalette(p);
    m_router->action(id)->setChecked(true);
}

void MainWindow::openLibraryRoot(const fs::path& folder)
{
    if (!m_reading->save(ReadingController::SaveMoment::Leaving))
        return;
    m_reading->clear();
    m_library->showRoot(folder, m_display.settings.openAll);
    if (m_recent.add(library::pathText(folder)))
        rebuildRecentMenu();
}

void MainWindow::openRecent(std::size_t slot)
{
    const std::u16string path = m_recent.at(slot);
    if (!m_reading->save(ReadingController::SaveMoment::Leaving))
        return;
    if (path.empty()) {
        m_reading->clear();
        return;
    }
    m_library->showRoot(library::pathFromText(path), m_display.settings.openAll);
}

void MainWindow::rebuildRecentMenu()
{
    m_recentMenu->clear();
    for (std::size_t slot = 0; slot < m_recent.count(); ++slot) {
        QAction* action = m_router->action(kRecentPath1 + static_cast<int>(slot));
        action->setText(QString::fromStdU16String(m_recent.at(slot)));
        m_recentMenu->addAction(action);
    }
    m_recentMenu->addSeparator();
    m_recentMenu->addAction(m_router->action(kClearRecentPaths));
    m_recentMenu->setEnabled(!m_recent.empty());
    m_router->action(kClearRecentPaths)->setEnabled(!m_recent.empty());
    (void)m_recent.save(appProfile(m_folders));
}

void MainWindow::openLocalSite()
{
    fs::path folder = m_library->selectedPath();
    if (folder.empty())
        return;
    if (library::pathText(folder.filename()).find(u".xml") != std::u16string::npos)
        folder = folder.parent_path();
    const fs::path relative = folder.lexically_relative(m_folders.dataFolder);
    const fs::path site = m_folders.dataFolder / "HTML" / relative;
    std::error_code ec;
    if (relative.empty() || *relative.begin() == ".." || !fs::is_directory(site, ec)) {
        showMessage(this, MessageKind::Information, u"Veyla"_s, u"还未生成此书 本地网站"_s);
        return;
    }
    (void)platform::openWithShell(site);
}

}  // namespace veyla::gui
