// SPDX-License-Identifier: MIT
#include "gui/app/message_box.h"
#include "gui/tree/library_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "core/library/library_edit.h"
#include "core/library/library_folder.h"
#include "gui/app/messages.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/tree/tree_name_dialog.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;
using library::ItemKind;
using library::LibraryItem;

namespace {

std::vector<LibraryItem> itemsOf(const LibraryTreeModel::Node* folder)
{
    std::vector<LibraryItem> items;
    for (const auto& child : folder->children)
        items.push_back(child->item);
    return items;
}

}  // namespace

LibraryController::LibraryController(LibraryTreeModel& model, LibraryTreePane& pane, CommandRouter& router,
                                     platform::TrashLocations trash, QObject* parent)
    : QObject(parent), m_model(model), m_pane(pane), m_router(router), m_trash(std::move(trash))
{
    bindCommands();
    connect(&m_model, &LibraryTreeModel::renameRequested, this, &LibraryController::finishRename);
    connect(&m_pane, &LibraryTreePane::editAbandoned, this, [this](const QModelIndex& index) {
        if (index == m_fresh)
            finishRename(index, index.data(Qt::EditRole).toString());
    });
    connect(&m_pane, &LibraryTreePane::currentItemChanged, this, &LibraryController::onCurrentChanged);
}

void LibraryController::bindCommands()
{
    m_router.bind(kNewChapter, [this] { newChapter(); });
    m_router.bind(kNewFolder, [this] { newFolder(); });
    m_router.bind(kRenameItem, [this] { renameSelected(); });
    m_router.bind(kDeleteItem, [this] { deleteSelected(); });
    m_router.bind(kNextChapter, [this] { selectNextChapter(); });
    m_router.bind(kPreviousChapter, [this] { selectPreviousChapter(); });
}

void LibraryController::showRoot(const fs::path& folder, bool expandBooks)
{
    m_fresh = QPersistentModelIndex();
    m_model.setRootFolder(folder);
    const QModelIndex root = m_model.rootIndex();
    // List what will be open first, then expand it all in one layout pass:
    // categories always, books too when asked. Sub-folders of what is listed
    // only learn whether they have items.
    m_model.ensureLoaded(root);
    for (int i = 0; i < m_model.rowCount(root); ++i) {
        const QModelIndex category = m_model.index(i, 0, root);
        if (m_model.isChapter(category))
            continue;
        m_model.ensureLoaded(category);
        if (!expandBooks)
            continue;
        for (int j = 0; j < m_model.rowCount(category); ++j) {
            const QModelIndex book = m_model.index(j, 0, category);
            if (!m_model.isChapter(book) && m_model.hasChildren(book))
                m_model.ensureLoaded(book);
        }
    }
    m_pane.expandRecursively(root, expandBooks ? 2 : 1);
    m_pane.selectIndex(root);
}

fs::path LibraryController::rootFolder() const
{
    return m_model.tree() ? m_model.tree()->rootFolder() : fs::path();
}

bool LibraryController::selectPath(const fs::path& path)
{
    if (!m_model.tree())
        return false;
    const auto* found = m_model.tree()->findByPath(path);
    if (found == nullptr)
        return false;
    m_pane.selectIndex(m_model.indexOf(found));
    return true;
}

fs::path LibraryController::selectedPath() const
{
    return m_model.pathOf(m_pane.selectedIndex());
}

void LibraryController::select(const QModelIndex& index)
{
    m_pane.selectIndex(index);
}

fs::path LibraryController::pathOf(const QModelIndex& index) const
{
    return m_model.pathOf(index);
}

void LibraryController::refreshFolder(const QModelIndex& folder)
{
    m_model.refresh(folder);
    m_pane.expand(folder);
}

void LibraryController::refreshPath(const fs::path& folder)
{
    if (m_model.tree() == nullptr)
        return;
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        if (const auto* node = m_model.tree()->findByPath(at)) {
            m_model.refresh(m_model.indexOf(node));
            return;
        }
        if (at == at.parent_path())
            break;
    }
}

QModelIndex LibraryController::targetFolder() const
{
    QModelIndex target = m_pane.selectedIndex();
    if (!target.isValid())
        target = m_model.rootIndex();
    if (m_model.isChapter(target))
        target = m_model.parent(target);
    return target;
}

std::vector<std::u16string> LibraryController::namesFromRoot(const QModelIndex& index) const
{
    const auto* node = m_model.node(index);
    return node == nullptr ? std::vector<std::u16string>{} : m_model.tree()->namesFromRoot(node);
}

std::vector<std::u16string> LibraryController::namesOfPath(const fs::path& path) const
{
    const auto* node = m_model.tree() ? m_model.tree()->findByPath(path) : nullptr;
    return node == nullptr ? std::vector<std::u16string>{} : m_model.tree()->namesFromRoot(node);
}

QModelIndex LibraryController::addItem(bool chapter)
{
    const QModelIndex folder = targetFolder();
    if (!folder.isValid())
        return {};
    m_model.ensureLoaded(folder);
    const auto items = itemsOf(m_model.node(folder));
    LibraryItem item;
    item.kind = chapter ? ItemKind::Chapter : ItemKind::Folder;
    item.text = chapter ? u"新文章" : u"新目录";
    int row = 0;
    if (chapter) {
        item.order = library::nextChapterNumber(items);
        row = static_cast<int>(items.size());
    } else {
        row = static_cast<int>(library::leadingFolderCount(items));
        item.order = row + 1;
    }
    item.fileName = library::pathFromText(library::itemFileName(item.kind, item.order, item.text));
    const QModelIndex added = m_model.insertItem(folder, row, std::move(item));
    m_fresh = added;
    m_pane.selectIndex(added);
    m_pane.setFocus();
    m_pane.edit(added);
    return added;
}

void LibraryController::newChapter()
{
    addItem(true);
}

void LibraryController::newFolder()
{
    addItem(false);
}

void LibraryController::renameSelected()
{
    const QModelIndex index = m_pane.selectedIndex();
    if (!index.isValid() || index == m_model.rootIndex())
        return;
    if (!QFileInfo::exists(QDir::current().filePath(u"print.txt"_s))) {
        m_pane.edit(index);
        return;
    }
    // The dialog form refuses a name already used in the folder.
    const auto* node = m_model.node(index);
    const fs::path folder = m_model.pathOf(index).parent_path();
    TreeNameDialog dialog(index.data().toString(), [&](const QString& text) {
        const auto name = library::itemFileName(node->item.kind, node->item.order, text.toStdU16String());
        return fs::exists(folder / library::pathFromText(name));
    }, &m_pane);
    if (dialog.exec() == QDialog::Accepted)
        finishRename(index, dialog.name());
}

void LibraryController::finishRename(const QModelIndex& index, const QString& text)
{
    auto* node = m_model.node(index);
    if (node == nullptr || node->isRoot())
        return;
    const bool fresh = index == m_fresh;
    const std::u16string newName = library::itemFileName(node->item.kind, node->item.order, text.toStdU16String());
    if (!library::checkItemName(text.toStdU16String()) || !library::checkItemName(newName)) {
        showMessage(&m_pane, MessageKind::Warning, u"更改名称"_s,
                    u"名称无效：不能为空，不能含有“/”，不能是“.”或“..”，也不能超过%1字节。"_s.arg(
                        static_cast<int>(library::kMaxFileNameBytes)));
        // A new item is not made until it has a valid name: it is edited again.
        if (fresh)
            QTimer::singleShot(0, &m_pane, [this, fresh = m_fresh] {
                if (fresh.isValid() && fresh == m_fresh)
                    m_pane.edit(fresh);
            });
        return;
    }
    const fs::path oldPath = m_model.pathOf(index);
    const fs::path newPath = oldPath.parent_path() / library::pathFromText(newName);
    const auto oldNames = namesFromRoot(index);
    std::error_code ec;
    if (fs::exists(oldPath, ec)) {
        auto renamed = library::renameItem(oldPath, newName);
        if (!renamed) {
            showMessage(&m_pane, MessageKind::Warning, u"更改名称"_s, messageFor(renamed.code(), Operation::Rename));
            return;
        }
    } else {
        const Status made = node->isChapter() ? library::createEmptyChapter(newPath) : library::createFolder(newPath);
        if (!made) {
            showMessage(&m_pane, MessageKind::Warning, u"更改名称"_s, messageFor(made.code(), Operation::Rename));
            return;
        }
    }
    m_model.renameItem(index, library::pathFromText(newName));
    if (fresh) {
        m_fresh = QPersistentModelIndex();
        if (node->isChapter())
            emit chapterCreated(newPath);
        return;
    }
    emit itemRenamed(oldNames, newName, oldPath, newPath);
}

void LibraryController::deleteSelected()
{
    const QModelIndex index = m_pane.selectedIndex();
    if (!index.isValid() || index == m_model.rootIndex())
        return;
    const fs::path path = m_model.pathOf(index);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) {
        auto trashed = library::deleteItem(path, m_trash);
        if (!trashed) {
            showMessage(&m_pane, MessageKind::Warning, u"删除"_s, messageFor(trashed.code(), Operation::Delete));
            return;
        }
    }
    emit itemDeleted(path);
    m_model.removeItem(index);
}

bool LibraryController::selectNextChapter()
{
    auto* node = m_model.node(m_pane.selectedIndex());
    auto* next = m_model.tree() ? m_model.tree()->nextChapter(node) : nullptr;
    if (next == nullptr)
        return false;
    m_pane.selectIndex(m_model.indexOf(next));
    return true;
}

bool LibraryController::selectPreviousChapter()
{
    auto* node = m_model.node(m_pane.selectedIndex());
    auto* previous = m_model.tree() ? m_model.tree()->previousChapter(node) : nullptr;
    if (previous == nullptr)
        return false;
    m_pane.selectIndex(m_model.indexOf(previous));
    return true;
}

void LibraryController::onCurrentChanged(const QModelIndex& index)
{
    // A chapter whose file has gone is opened all the same: the reader says it is missing.
    if (m_model.isChapter(index) && index != m_fresh)
        emit chapterSelected(m_model.pathOf(index));
}

}  // namespace veyla::gui
