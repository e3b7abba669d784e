// SPDX-License-Identifier: MIT
#include "gui/search/mining_controller.h"

#include <QtConcurrent/QtConcurrentRun>

#include "core/library/library_folder.h"
#include "core/search/mining_results.h"
#include "gui/app/message_box.h"
#include "gui/app/messages.h"
#include "gui/commands/command_router.h"
#include "gui/search/mining_dialog.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;
using search::MiningOutcome;

MiningController::MiningController(DisplayState& display, LibraryTreeModel& model, LibraryTreePane& pane,
                                   CommandRouter& router, platform::TrashLocations trash, QWidget* window)
    : QObject(window), m_display(display), m_model(model), m_pane(pane), m_window(window), m_trash(std::move(trash)),
      m_miner([](const fs::path& start, const search::HitFinder& finder, std::size_t limit, std::stop_token stop) {
          return search::mineLibrary(start, finder, limit, std::move(stop));
      })
{
    connect(&m_watcher, &QFutureWatcher<Result<MiningOutcome>>::finished, this, &MiningController::done);
    router.bind(kSearchContent, [this] { showDialog(); });
}

MiningController::~MiningController()
{
    requestStop();
    waitForFinished();
}

MiningDialog* MiningController::dialog() const
{
    return m_dialog;
}

void MiningController::showDialog()
{
    if (m_dialog == nullptr) {
        m_dialog = new MiningDialog(static_cast<search::MiningMode>(m_display.settings.parse), m_window);
        connect(m_dialog, &MiningDialog::startRequested, this,
                [this] { start(m_dialog->mode(), m_dialog->bookLimit(), m_dialog->keywords()); });
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

bool MiningController::start(search::MiningMode mode, search::BookLimit limit, const QString& keywords)
{
    m_display.settings.parse = static_cast<int>(mode);
    m_display.settings.parseBook = static_cast<int>(limit);
    if (m_busy || m_model.tree() == nullptr)
        return false;
    auto query = search::makeMiningQuery(mode, keywords.toStdU16String());
    if (!query) {
        showMessage(m_window, MessageKind::Warning, u"知识挖掘"_s, u"请输入关键词，多个关键词以，隔开"_s);
        return false;
    }
    QModelIndex selected = m_pane.selectedIndex();
    if (!selected.isValid())
        selected = m_model.rootIndex();
    m_start = search::miningStartFolder(m_model.pathOf(selected), m_model.tree()->rootFolder());
    m_mode = mode;
    m_busy = true;
    m_startedAt = std::chrono::steady_clock::now();
    m_titleBefore = m_window->windowTitle();
    emit titleChanged(u"正在努力挖掘中......"_s);
    m_stop = std::stop_source();
    m_watcher.setFuture(QtConcurrent::run(
        [miner = m_miner, start = m_start, finder = search::HitFinder(std::move(*query)),
         bookLimit = search::bookLimitCount(limit), stop = m_stop.get_token()] {
            return miner(start, finder, bookLimit, stop);
        }));
    return true;
}

void MiningController::done()
{
    m_busy = false;
    const Result<MiningOutcome> outcome = m_watcher.result();
    if (!outcome) {
        emit titleChanged(m_titleBefore);
        showMessage(m_window, MessageKind::Warning, u"知识挖掘"_s, messageFor(outcome.code(), Operation::Other));
    } else if (!outcome->stopped) {
        store(*outcome);
    }
    emit finished();
}

void MiningController::store(const MiningOutcome& outcome)
{
    if (!outcome.skipped.empty()) {
        const auto& [path, error] = outcome.skipped.front();
        emit message(u"有 %1 个章节无法读取，已跳过：%2（%3）"_s.arg(outcome.skipped.size())
                         .arg(QString::fromStdU16String(library::pathText(path.filename())),
                              messageFor(error.code, Operation::OpenChapter)));
    }
    if (outcome.hitCount() == 0) {
        if (m_window->isVisible())
            emit titleChanged(u"书中无此信息"_s);
        return;
    }
    const fs::path folder = search::miningResultFolder(m_start, m_mode);
    emit resultsReplacing(folder);
    auto written = search::storeMiningResults(m_start, m_mode, search::miningResultFiles(m_mode, outcome), m_trash);
    showResults(folder);
    if (!written) {
        emit titleChanged(m_titleBefore);
        showMessage(m_window, MessageKind::Warning, u"知识挖掘"_s, messageFor(written.code(), Operation::Delete));
        return;
    }
    const auto s = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - m_startedAt).count();
    emit titleChanged(QString::asprintf("共用时 %d时  %d 分 %d秒  ", static_cast<int>((s / 3600) % 24),
                                        static_cast<int>((s / 60) % 60), static_cast<int>(s % 60)));
}

void MiningController::showResults(const fs::path& folder)
{
    // The start folder gains 类别 (or 类别 gains the mode's folder), and an
    // earlier result folder of the mode now holds other files.
    for (const fs::path& path : {m_start, folder.parent_path(), folder}) {
        auto* node = m_model.tree() ? m_model.tree()->findByPath(path) : nullptr;
        if (node == nullptr)
            continue;
        const QModelIndex index = m_model.indexOf(node);
        if (node->loaded)
            m_model.refresh(index);
        m_model.ensureLoaded(index);
        m_pane.expand(index);
    }
}

void MiningController::requestStop()
{
    m_stop.request_stop();
}

void MiningController::waitForFinished()
{
    m_watcher.waitForFinished();
}

}  // namespace veyla::gui
