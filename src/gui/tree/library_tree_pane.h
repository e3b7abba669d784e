// SPDX-License-Identifier: MIT
#pragma once

#include <QTreeView>

class QMenu;

namespace veyla::gui {

class CommandRouter;
class LibraryTreeModel;

// The left pane: the library tree with its context menu. Labels are edited
// in place with at most 200 characters.
class LibraryTreePane : public QTreeView {
    Q_OBJECT
public:
    static constexpr int kMaxNameLength = 200;

    LibraryTreePane(LibraryTreeModel& model, CommandRouter& router, QWidget* parent = nullptr);

    LibraryTreeModel& libraryModel() const { return m_model; }
    QModelIndex selectedIndex() const;
    void selectIndex(const QModelIndex& index);
    // Fills the context menu for the current item.
    void fillContextMenu(QMenu& menu) const;
    // Sets the tree's background colour.
    void setBackgroundColour(const QColor& colour);

signals:
    void currentItemChanged(const QModelIndex& index);
    // An in-place edit ended without a change reaching the model (Esc).
    void editAbandoned(const QModelIndex& index);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    LibraryTreeModel& m_model;
    CommandRouter& m_router;
};

}  // namespace veyla::gui
