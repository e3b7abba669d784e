// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <filesystem>
#include <string>
#include <vector>

#include "core/library/bookmark_list.h"
#include "core/platform/app_folders.h"

class QStackedWidget;
class QTreeWidget;

namespace veyla::gui {

class CommandRouter;
class LibraryController;
class ReadingController;

// The bookmarks (control/bookmark.txt) and the place where reading stopped
// at exit (control/bookmark_quit.txt, one entry). The list is shown in the
// reading view's place; its context menu opens or deletes the entry under
// the caret.
class BookmarkController : public QObject {
    Q_OBJECT
public:
    BookmarkController(const platform::AppFolders& folders, LibraryController& library, ReadingController& reading,
                       QStackedWidget& viewStack, CommandRouter& router, QObject* parent = nullptr);

    // Reads both files; shows "file.txt  不是Unicode" for a file without its mark.
    void load();
    // Writes both files.
    void save();

    // Opens the chapter where reading stopped last time, if there is one.
    bool reopenExitPosition();
    // Remembers the open chapter and its position as the exit bookmark.
    void storeExitPosition();
    // Remembers it and writes control/bookmark_quit.txt at once (reading
    // stopped by the sleep timer: the next start resumes there even if
    // the program is never closed properly).
    void saveExitPosition();

    void addSelectedChapter();
    void addOpenChapter();
    void showList();
    bool openEntry(std::size_t group, std::size_t entry);
    void deleteEntry(std::size_t group, std::size_t entry);
    bool isBookmarked(const std::filesystem::path& chapter) const;

    const library::BookmarkList& bookmarks() const { return m_bookmarks; }
    const library::BookmarkList& exitBookmark() const { return m_exit; }
    QTreeWidget& listWidget() const { return *m_list; }

public slots:
    void itemRenamed(const std::vector<std::u16string>& oldNames, const std::u16string& newName);

private:
    bool openBookmark(const library::Bookmark& bookmark);
    void addChapter(library::BookmarkList& list, const std::filesystem::path& chapter, long long position,
                    char16_t mark = 0);
    void refreshList();
    bool currentEntry(std::size_t& group, std::size_t& entry) const;

    platform::AppFolders m_folders;
    LibraryController& m_library;
    ReadingController& m_reading;
    QStackedWidget& m_viewStack;
    CommandRouter& m_router;
    QTreeWidget* m_list;
    library::BookmarkList m_bookmarks;
    library::BookmarkList m_exit;
    bool m_firstTime = true;  // the empty list shows control/path1.xml until the list was shown once
};

}  // namespace veyla::gui
