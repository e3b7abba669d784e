// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <filesystem>
#include <memory>

#include "core/library/library_tree.h"

namespace veyla::gui {

// A Qt model over the core's lazily loaded library tree. The invisible
// top holds one item, the library root, whose text is the library path.
// Folders list their items when first expanded (fetchMore).
class LibraryTreeModel : public QAbstractItemModel, private library::LibraryTree::Observer {
    Q_OBJECT
public:
    using Node = library::LibraryTree::Node;

    explicit LibraryTreeModel(QObject* parent = nullptr);

    // Replaces the whole tree with one rooted at folder.
    void setRootFolder(const std::filesystem::path& folder);
    library::LibraryTree* tree() const { return m_tree.get(); }

    Node* node(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    QModelIndex rootIndex() const;
    std::filesystem::path pathOf(const QModelIndex& index) const;
    bool isChapter(const QModelIndex& index) const;

    // Edits that keep views in step; the disk changes belong to the caller.
    QModelIndex insertItem(const QModelIndex& folder, int row, library::LibraryItem item);
    void removeItem(const QModelIndex& index);
    void renameItem(const QModelIndex& index, const std::filesystem::path& newFileName);
    // Lists a folder again (after an import added to it).
    void refresh(const QModelIndex& folder);
    // Makes sure a folder is listed, for callers walking the tree.
    void ensureLoaded(const QModelIndex& folder);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // The user finished editing an item's label in place.
    void renameRequested(const QModelIndex& index, const QString& text);

private:
    void beginInsert(Node* folder, std::size_t first, std::size_t last) override;
    void endInsert() override;
    void beginRemove(Node* folder, std::size_t first, std::size_t last) override;
    void endRemove() override;

    std::unique_ptr<library::LibraryTree> m_tree;
    QIcon m_rootIcon;
    QIcon m_folderIcon;
    QIcon m_chapterIcon;
};

}  // namespace veyla::gui
