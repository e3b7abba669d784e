// SPDX-License-Identifier: MIT
#include "gui/tree/library_tree_pane.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyledItemDelegate>

#include "gui/commands/command_router.h"
#include "gui/tree/library_tree_model.h"

namespace veyla::gui {

namespace {

// Limits in-place names to the tree's maximum length.
class NameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(LibraryTreePane::kMaxNameLength);
        return editor;
    }
};

}  // namespace

LibraryTreePane::LibraryTreePane(LibraryTreeModel& model, CommandRouter& router, QWidget* parent)
    : QTreeView(parent), m_model(model), m_router(router)
{
    setModel(&model);
    setItemDelegate(new NameDelegate(this));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAnimated(false);
    setObjectName(QStringLiteral("libraryTree"));
}

QModelIndex LibraryTreePane::selectedIndex() const
{
    return currentIndex();
}

void LibraryTreePane::selectIndex(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    scrollTo(index);
}

void LibraryTreePane::setBackgroundColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}

void LibraryTreePane::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex under = indexAt(event->pos());
    if (under.isValid())
        selectIndex(under);
    QMenu menu(this);
    fillContextMenu(menu);
    menu.exec(event->globalPos());
}

void LibraryTreePane::fillContextMenu(QMenu& menu) const
{
    if (m_model.isChapter(currentIndex())) {
        menu.addAction(m_router.action(kAddBookmarkFromTree));
        menu.addSeparator();
    }
    for (int id : {kNewChapter, kNewFolder, kRenameItem, kDeleteItem, kImportNovel})
        menu.addAction(m_router.action(id));
    menu.addSeparator();
    for (int id : {kSearchTitles, kSearchContent, kSiteByChapter, kSiteWholeBook, kSiteByChapterEnglish,
                   kSiteWholeBookEnglish})
        menu.addAction(m_router.action(id));
    menu.addSeparator();
    for (int id : {kSitePaging, kOpenLocalSite, kRenderBookAudio})
        menu.addAction(m_router.action(id));
    menu.addSeparator();
    menu.addAction(m_router.action(kBlogPosts));
}

void LibraryTreePane::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    emit currentItemChanged(current);
}

void LibraryTreePane::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QModelIndex edited = currentIndex();
    QTreeView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::RevertModelCache)
        emit editAbandoned(edited);
}

}  // namespace veyla::gui
