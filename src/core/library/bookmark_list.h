// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"

namespace veyla::library {

// A place in a chapter the user wants to come back to.
//
// The entry text names the chapter by its place in the library tree: the
// on-disk names (order prefix included) from the tree root down to the
// chapter file, joined by "♥", e.g. "小说♥0002_西游记♥0001_第一回.xml".
// The position is a character offset into the chapter's text (its
// paragraphs joined), 0 for the start. Names may contain "|": the file
// format separates the position at the last "|" of a line.
struct Bookmark {
    std::u16string text;
    long long position = 0;
};

struct BookmarkGroup {
    std::u16string title;
    std::vector<Bookmark> entries;
};

// The separator between names in a bookmark's text, and the mark of the
// bookmark stored at exit.
inline constexpr char16_t kBookmarkNameSeparator = u'♥';
inline constexpr char16_t kExitBookmarkMark = u'`';

// Builds the entry text for a chapter from its names below the tree root.
std::u16string bookmarkText(const std::vector<std::u16string>& namesFromRoot);
// The names below the tree root that an entry text stands for (an exit mark is ignored).
std::vector<std::u16string> bookmarkNames(std::u16string_view text);

// The bookmarks of one file: control/bookmark.txt, or control/bookmark_quit.txt
// for the place where reading stopped at exit. The file is UTF-16LE with a
// byte-order mark and CR LF line ends: a header line "title*count" opens each
// group and "text|position" lines follow.
class BookmarkList {
public:
    enum class LoadResult { Loaded, Missing, NotUnicode, Unreadable };

    // Reads the file. NotUnicode (no FF FE mark) and Unreadable (the file is
    // there but cannot be read) leave the list empty; the file is then kept
    // aside as "<name>.unreadable" (".unreadable.2"… when that is taken) so
    // that saving the list cannot destroy it.
    LoadResult load(const std::filesystem::path& file);
    static BookmarkList fromBytes(std::string_view bytes, LoadResult& result);

    std::string toBytes() const;
    Status save(const std::filesystem::path& file) const;

    const std::vector<BookmarkGroup>& groups() const { return m_groups; }
    bool empty() const { return m_groups.empty(); }
    std::size_t size() const;

    // Adds an entry to the group titled groupTitle (a new group at the end when there is none).
    void add(std::u16string_view groupTitle, Bookmark bookmark);
    bool contains(std::u16string_view text) const;
    // Removes one entry; a group left empty goes too.
    bool remove(std::size_t group, std::size_t entry);
    void clear() { m_groups.clear(); }

    // After a tree item was renamed: every entry naming oldName at the given
    // depth below the root, with the same names above it, now names newName.
    // Returns the number of entries changed.
    int renameItem(const std::vector<std::u16string>& oldNamesFromRoot, std::u16string_view newName);

private:
    std::vector<BookmarkGroup> m_groups;
};

}  // namespace veyla::library
