// SPDX-License-Identifier: MIT
#include "gui/search/name_search_controller.h"

#include <QtConcurrent/QtConcurrentRun>

#include "core/library/library_tree.h"
#include "gui/commands/command_router.h"
#include "gui/search/find_dialog.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;
using search::NameSearch;

NameSearchController::NameSearchController(DisplayState& display, LibraryTreeModel& model, LibraryTreePane& pane,
                                           CommandRouter& router, QWidget* window)
    : QObject(window), m_display(display), m_model(model), m_pane(pane), m_window(window)
{
    connect(&m_watcher, &QFutureWatcher<Match>::finished, this, &NameSearchController::done);
    router.bind(kSearchTitles, [this] { showDialog(); });
}

NameSearchController::~NameSearchController()
{
    requestStop();
    waitForFinished();
}

FindDialog* NameSearchController::dialog() const
{
    return m_dialog;
}

void NameSearchController::showDialog()
{
    if (m_dialog == nullptr) {
        m_dialog = new FindDialog(m_display.settings.searchAll, m_window);
        connect(m_dialog, &FindDialog::searchRequested, this, [this](bool forward) {
            m_display.settings.searchAll = m_dialog->allNodes();
            search(m_dialog->text(), forward ? search::Direction::Forward : search::Direction::Backward,
                   m_dialog->allNodes() ? search::NodeScope::AllNodes : search::NodeScope::ExpandedOnly);
        });
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

std::set<fs::path> NameSearchController::openFolders() const
{
    std::set<fs::path> open;
    std::vector<QModelIndex> pending{m_model.rootIndex()};
    while (!pending.empty()) {
        const QModelIndex folder = pending.back();
        pending.pop_back();
        const auto* node = m_model.node(folder);
        if (node == nullptr || !node->loaded || !m_pane.isExpanded(folder))
            continue;
        open.insert(m_model.pathOf(folder));
        for (int row = 0; row < m_model.rowCount(folder); ++row)
            pending.push_back(m_model.index(row, 0, folder));
    }
    return open;
}

bool NameSearchController::search(const QString& text, search::Direction direction, search::NodeScope scope)
{
    if (m_busy || text.isEmpty() || m_model.tree() == nullptr)
        return false;
    m_busy = true;
    if (m_dialog)
        m_dialog->setStatus(u"正在搜索..."_s);
    const auto* selected = m_model.node(m_pane.selectedIndex());
    std::vector<std::u16string> from = selected ? m_model.tree()->namesFromRoot(selected) : std::vector<std::u16string>{};
    m_stop = std::stop_source();
    m_watcher.setFuture(QtConcurrent::run(
        [root = m_model.tree()->rootFolder(), from = std::move(from), key = text.toStdU16String(), direction, scope,
         open = openFolders(), stop = m_stop.get_token()]() -> Match {
            library::LibraryTree tree(root);
            NameSearch::Node* start = from.empty() ? tree.root() : tree.findByNames(from);
            NameSearch searcher(tree, key, direction, scope,
                                [&](const NameSearch::Node& node) { return open.count(tree.pathOf(&node)) > 0; });
            const NameSearch::Node* found = searcher.findAfter(start != nullptr ? start : tree.root(), stop);
            return found ? Match(tree.namesFromRoot(found)) : std::nullopt;
        }));
    return true;
}

void NameSearchController::done()
{
    m_busy = false;
    const Match match = m_watcher.result();
    const auto* node = match && m_model.tree() ? m_model.tree()->findByNames(*match) : nullptr;
    if (node != nullptr) {
        // Folders opened to reach the match stay open; the others never opened.
        const QModelIndex index = m_model.indexOf(node);
        for (QModelIndex above = m_model.parent(index); above.isValid(); above = m_model.parent(above))
            m_pane.expand(above);
        m_pane.selectIndex(index);
    }
    if (m_dialog)
        m_dialog->setStatus(u"搜索完毕"_s);
    emit finished(node != nullptr);
}

void NameSearchController::requestStop()
{
    m_stop.request_stop();
}

void NameSearchController::waitForFinished()
{
    m_watcher.waitForFinished();
}

}  // namespace veyla::gui
