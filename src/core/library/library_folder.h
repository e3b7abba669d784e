// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veyla::library {

// The library on disk: 藏书库/ holds category folders, these hold book
// folders, and these hold chapter files "%04d_" + title + ".xml" and
// sub-folders "%04d_" + name. The four-digit order prefix is never shown.

enum class ItemKind { Folder, Chapter };

struct LibraryItem {
    ItemKind kind = ItemKind::Chapter;
    std::filesystem::path fileName;  // the name on disk
    std::u16string text;             // the name shown: no order prefix, no ".xml"
    int order = 0;                   // the order prefix, 0 when there is none
    bool hasChildren = false;        // folders: whether listing it gives any item
};

// The folder name that always comes first among the folders of a listing.
inline constexpr std::u16string_view kCategoryFolderName = u"类别";

// The order number of a name that starts with four digits (up to eight in a
// book of more than 9999 items) and "_"; nullopt otherwise.
std::optional<int> orderPrefix(std::u16string_view name);

// The shown text of a name: the part after a recognised prefix, and for
// chapters without ".xml".
std::u16string itemText(std::u16string_view name, ItemKind kind);

// "%04d_" + text when order is 1 or more, then ".xml" for a chapter.
std::u16string itemFileName(ItemKind kind, int order, std::u16string_view text);

// Lists a folder as the tree shows it: sub-folders first (a folder named
// "类别" moved to the front), then files whose name contains ".xml"; other
// files, hidden names (starting with '.') and kept originals (".orig") are left out. Within each group
// names are in the order Windows lists them (by name), which keeps "%04d_"
// prefixes in number order.
std::vector<LibraryItem> listFolder(const std::filesystem::path& folder);

// The number for a new chapter in a folder holding items: the last item's
// order + 1, or when it has none the count of items without children + 1;
// 1 for an empty folder.
int nextChapterNumber(const std::vector<LibraryItem>& items);

// A new folder goes after the leading run of folders and is numbered
// after them: returns that count (the insert position); the number is count + 1.
std::size_t leadingFolderCount(const std::vector<LibraryItem>& items);

// One step from the library root down to an item.
struct ItemPathPart {
    ItemKind kind = ItemKind::Folder;
    std::u16string text;
    int order = 0;
};

// The full path of an item rebuilt from the library folder and the parts
// from the root's child down to the item.
std::filesystem::path itemPath(const std::filesystem::path& libraryFolder, const std::vector<ItemPathPart>& parts);

// Path <-> UTF-16 at one seam: paths on disk are UTF-8.
std::u16string pathText(const std::filesystem::path& path);
std::filesystem::path pathFromText(std::u16string_view text);

}  // namespace veyla::library
