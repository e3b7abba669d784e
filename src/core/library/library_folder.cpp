// SPDX-License-Identifier: MIT
#include "core/library/library_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/util/utf16.h"

namespace veyla::library {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kChapterExtension = u".xml";
// Order prefixes have four digits, more in a book of more than 9999 items.
constexpr std::size_t kMaxOrderDigits = 8;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

char16_t foldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Closes a directory stream on scope exit.
struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirStream = std::unique_ptr<DIR, DirCloser>;

// The original of a chapter kept aside before it was written over
// ("NAME.xml.orig"): not a chapter of the book.
bool isOriginalCopy(const char* name)
{
    const std::size_t length = std::strlen(name);
    return length >= 5 && std::strcmp(name + length - 5, ".orig") == 0;
}

// Whether a directory entry is listed: folders, and files whose name
// contains ".xml"; hidden names (our temporary files, trash) and kept
// originals never are.
bool isListed(DIR* dir, const dirent& entry, bool& isFolder)
{
    const char* name = entry.d_name;
    if (name[0] == '.')
        return false;
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
        struct stat info {};
        if (::fstatat(::dirfd(dir), name, &info, 0) != 0)
            return false;
        type = S_ISDIR(info.st_mode) ? DT_DIR : DT_REG;
    }
    isFolder = type == DT_DIR;
    return isFolder || (std::strstr(name, ".xml") != nullptr && !isOriginalCopy(name));
}

bool hasListedEntry(const fs::path& folder)
{
    DirStream dir(::opendir(folder.c_str()));
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        bool isFolder = false;
        if (isListed(dir.get(), *entry, isFolder))
            return true;
    }
    return false;
}

// A listed name with its item and a sort key (the name with ASCII letters
// folded), so that sorting compares plain bytes.
struct Named {
    std::string name;
    std::string key;
    LibraryItem item;
};

// Orders names the way Windows file listings do: without regard to ASCII
// case. UTF-8 bytes compare in code point order.
void sortByName(std::vector<Named>& items)
{
    for (auto& named : items) {
        named.key = named.name;
        for (char& c : named.key)
            c = static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    }
    std::sort(items.begin(), items.end(), [](const Named& a, const Named& b) { return a.key < b.key; });
}

}  // namespace

std::u16string pathText(const fs::path& path)
{
    return utf16::fromUtf8(path.string());
}

fs::path pathFromText(std::u16string_view text)
{
    const std::string utf8 = utf16::toUtf8(text);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::optional<int> orderPrefix(std::u16string_view name)
{
    std::size_t digits = 0;
    int number = 0;
    while (digits < kMaxOrderDigits && digits < name.size() && isDigit(name[digits])) {
        number = number * 10 + (name[digits] - u'0');
        ++digits;
    }
    if (digits < 4 || digits >= name.size() || name[digits] != u'_')
        return std::nullopt;
    return number;
}

std::u16string itemText(std::u16string_view name, ItemKind kind)
{
    if (orderPrefix(name))
        name.remove_prefix(name.find(u'_') + 1);
    if (kind == ItemKind::Chapter) {
        const auto at = name.rfind(kChapterExtension);
        if (at != std::u16string_view::npos)
            return std::u16string(name.substr(0, at)) + std::u16string(name.substr(at + kChapterExtension.size()));
    }
    return std::u16string(name);
}

std::u16string itemFileName(ItemKind kind, int order, std::u16string_view text)
{
    std::u16string name;
    if (order >= 1) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%04d_", order);
        name = utf16::fromUtf8(prefix);
    }
    name += text;
    if (kind == ItemKind::Chapter)
        name += kChapterExtension;
    return name;
}

std::vector<LibraryItem> listFolder(const fs::path& folder)
{
    // Plain readdir: listing is the hot path of filling a large tree.
    std::vector<Named> folders;
    std::vector<Named> chapters;
    DirStream dir(::opendir(folder.c_str()));
    if (!dir)
        return {};
    while (const dirent* entry = ::readdir(dir.get())) {
        bool isFolder = false;
        if (!isListed(dir.get(), *entry, isFolder))
            continue;
        Named named;
        named.name = entry->d_name;
        LibraryItem& item = named.item;
        item.kind = isFolder ? ItemKind::Folder : ItemKind::Chapter;
        const std::u16string text = utf16::fromUtf8(named.name);
        item.text = itemText(text, item.kind);
        item.order = orderPrefix(text).value_or(0);
        item.hasChildren = isFolder && hasListedEntry(folder / named.name);
        (isFolder ? folders : chapters).push_back(std::move(named));
    }
    sortByName(folders);
    sortByName(chapters);
    // Moved to the front with the others keeping their order (a plain swap
    // with the first folder would send that folder out of order).
    const std::string category = utf16::toUtf8(kCategoryFolderName);
    const auto found = std::find_if(folders.begin(), folders.end(), [&](const Named& f) { return f.name == category; });
    if (found != folders.end())
        std::rotate(folders.begin(), found, found + 1);
    std::vector<LibraryItem> items;
    items.reserve(folders.size() + chapters.size());
    for (auto* group : {&folders, &chapters}) {
        for (auto& named : *group) {
            named.item.fileName = std::move(named.name);
            items.push_back(std::move(named.item));
        }
    }
    return items;
}

int nextChapterNumber(const std::vector<LibraryItem>& items)
{
    if (items.empty())
        return 1;
    const auto leaves = std::count_if(items.begin(), items.end(), [](const LibraryItem& i) { return !i.hasChildren; });
    const int last = items.back().order;
    return last != 0 ? last + 1 : static_cast<int>(leaves) + 1;
}

std::size_t leadingFolderCount(const std::vector<LibraryItem>& items)
{
    std::size_t count = 0;
    while (count < items.size() && items[count].kind == ItemKind::Folder)
        ++count;
    return count;
}

fs::path itemPath(const fs::path& libraryFolder, const std::vector<ItemPathPart>& parts)
{
    fs::path path = libraryFolder;
    for (const auto& part : parts)
        path /= pathFromText(itemFileName(part.kind, part.order, part.text));
    return path;
}

}  // namespace veyla::library
