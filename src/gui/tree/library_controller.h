// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPersistentModelIndex>

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/trash.h"

namespace veyla::gui {

class CommandRouter;
class LibraryTreeModel;
class LibraryTreePane;

// The library tree's commands: new chapter and folder, rename, delete,
// previous and next chapter, and the start-up fill. It changes the disk
// through the core and keeps the tree in step; the reading view hears of
// it through signals.
class LibraryController : public QObject {
    Q_OBJECT
public:
    LibraryController(LibraryTreeModel& model, LibraryTreePane& pane, CommandRouter& router,
                      platform::TrashLocations trash, QObject* parent = nullptr);

    // Shows folder as the tree's root: fills it, expands every category and,
    // with expandBooks, every book; selects the root.
    void showRoot(const std::filesystem::path& folder, bool expandBooks);
    std::filesystem::path rootFolder() const;

    // Selects the item of a path inside the root (loading folders on the way).
    bool selectPath(const std::filesystem::path& path);
    std::filesystem::path selectedPath() const;
    void select(const QModelIndex& index);
    std::filesystem::path pathOf(const QModelIndex& index) const;
    // Brings a folder's items in line with the disk after something wrote into it.
    void refreshFolder(const QModelIndex& folder);
    // The same for a folder given by its path; a folder the tree does not
    // show yet appears through the nearest folder above it that it shows.
    void refreshPath(const std::filesystem::path& folder);
    // The folder new items and imports go to: the selection, or its folder for a chapter.
    QModelIndex targetFolder() const;
    std::vector<std::u16string> namesFromRoot(const QModelIndex& index) const;
    // The on-disk names below the root of a path inside it; empty when it is not in the tree.
    std::vector<std::u16string> namesOfPath(const std::filesystem::path& path) const;

    void newChapter();
    void newFolder();
    void renameSelected();
    void deleteSelected();
    bool selectNextChapter();
    bool selectPreviousChapter();

signals:
    void chapterSelected(const std::filesystem::path& path);
    // A freshly created chapter file: it becomes the view's chapter.
    void chapterCreated(const std::filesystem::path& path);
    void itemRenamed(const std::vector<std::u16string>& oldNames, const std::u16string& newName,
                     const std::filesystem::path& oldPath, const std::filesystem::path& newPath);
    void itemDeleted(const std::filesystem::path& path);
    void message(const QString& text);

private:
    void bindCommands();
    QModelIndex addItem(bool chapter);
    void finishRename(const QModelIndex& index, const QString& text);
    void onCurrentChanged(const QModelIndex& index);

    LibraryTreeModel& m_model;
    LibraryTreePane& m_pane;
    CommandRouter& m_router;
    platform::TrashLocations m_trash;
    QPersistentModelIndex m_fresh;  // a new item whose file or folder is made when its rename ends
};

}  // namespace veyla::gui
