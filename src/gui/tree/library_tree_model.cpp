// SPDX-License-Identifier: MIT
#include "gui/tree/library_tree_model.h"

#include "core/library/library_folder.h"
#include "gui/icons/svg_icon.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using library::LibraryTree;

namespace {

QString toQString(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

}  // namespace

LibraryTreeModel::LibraryTreeModel(QObject* parent) : QAbstractItemModel(parent)
{
    m_rootIcon = tintedIcon(QStringLiteral("books"), QColor(0x15, 0x65, 0xc0));
    m_folderIcon = tintedIcon(QStringLiteral("folder"), QColor(0xc0, 0x80, 0x10));
    m_chapterIcon = tintedIcon(QStringLiteral("file-text"), QColor(0x60, 0x7d, 0x8b));
}

void LibraryTreeModel::setRootFolder(const fs::path& folder)
{
    beginResetModel();
    m_tree = std::make_unique<LibraryTree>(folder);
    m_tree->setObserver(this);
    endResetModel();
}

void LibraryTreeModel::beginInsert(Node* folder, std::size_t first, std::size_t last)
{
    beginInsertRows(indexOf(folder), static_cast<int>(first), static_cast<int>(last));
}

void LibraryTreeModel::endInsert()
{
    endInsertRows();
}

void LibraryTreeModel::beginRemove(Node* folder, std::size_t first, std::size_t last)
{
    beginRemoveRows(indexOf(folder), static_cast<int>(first), static_cast<int>(last));
}

void LibraryTreeModel::endRemove()
{
    endRemoveRows();
}

LibraryTreeModel::Node* LibraryTreeModel::node(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex LibraryTreeModel::indexOf(const Node* node) const
{
    if (node == nullptr || !m_tree)
        return {};
    return createIndex(m_tree->rowOf(node), 0, const_cast<Node*>(node));
}

QModelIndex LibraryTreeModel::rootIndex() const
{
    return m_tree ? indexOf(m_tree->root()) : QModelIndex();
}

fs::path LibraryTreeModel::pathOf(const QModelIndex& index) const
{
    const Node* n = node(index);
    return n == nullptr ? fs::path() : m_tree->pathOf(n);
}

bool LibraryTreeModel::isChapter(const QModelIndex& index) const
{
    const Node* n = node(index);
    return n != nullptr && n->isChapter();
}

QModelIndex LibraryTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!m_tree || column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 ? rootIndex() : QModelIndex();
    const Node* folder = node(parent);
    if (static_cast<std::size_t>(row) >= folder->children.size())
        return {};
    return createIndex(row, 0, folder->children[static_cast<std::size_t>(row)].get());
}

QModelIndex LibraryTreeModel::parent(const QModelIndex& child) const
{
    const Node* n = node(child);
    if (n == nullptr || n->parent == nullptr)
        return {};
    return indexOf(n->parent);
}

int LibraryTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!m_tree)
        return 0;
    if (!parent.isValid())
        return 1;
    return static_cast<int>(node(parent)->children.size());
}

int LibraryTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant LibraryTreeModel::data(const QModelIndex& index, int role) const
{
    const Node* n = node(index);
    if (n == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return toQString(n->item.text);
    case Qt::DecorationRole:
        return n->isRoot() ? m_rootIcon : (n->isChapter() ? m_chapterIcon : m_folderIcon);
    case Qt::ToolTipRole:
        return n->isRoot() ? toQString(n->item.text) : QVariant();
    case Qt::UserRole:
        return n->item.order;
    default:
        return {};
    }
}

bool LibraryTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || node(index) == nullptr || node(index)->isRoot())
        return false;
    emit renameRequested(index, value.toString());
    return false;  // the controller renames on disk and then updates the item
}

Qt::ItemFlags LibraryTreeModel::flags(const QModelIndex& index) const
{
    const Node* n = node(index);
    if (n == nullptr)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!n->isRoot())
        f |= Qt::ItemIsEditable;
    return f;
}

bool LibraryTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_tree != nullptr;
    return m_tree->hasChildren(node(parent));
}

bool LibraryTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const Node* n = node(parent);
    return n != nullptr && !n->isChapter() && !n->loaded;
}

void LibraryTreeModel::fetchMore(const QModelIndex& parent)
{
    ensureLoaded(parent);
}

void LibraryTreeModel::ensureLoaded(const QModelIndex& folder)
{
    if (Node* n = node(folder))
        m_tree->load(n);
}

QModelIndex LibraryTreeModel::insertItem(const QModelIndex& folder, int row, library::LibraryItem item)
{
    Node* parentNode = node(folder);
    if (parentNode == nullptr)
        return {};
    m_tree->load(parentNode);
    return indexOf(m_tree->insert(parentNode, static_cast<std::size_t>(std::max(row, 0)), std::move(item)));
}

void LibraryTreeModel::removeItem(const QModelIndex& index)
{
    m_tree->remove(node(index));
}

void LibraryTreeModel::renameItem(const QModelIndex& index, const fs::path& newFileName)
{
    Node* n = node(index);
    if (n == nullptr)
        return;
    m_tree->rename(n, newFileName);
    emit dataChanged(index, index);
}

void LibraryTreeModel::refresh(const QModelIndex& folder)
{
    m_tree->refresh(node(folder));
}

}  // namespace veyla::gui
