// SPDX-License-Identifier: MIT
#include "core/library/library_folder.h"

#include <algorithm>
#include <cstdio>

#include "core/util/utf16.h"

namespace veyla::library {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kChapterExtension = u".xml";

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

char16_t foldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Orders names the way Windows file listings do: without regard to ASCII case.
bool byName(const LibraryItem& a, const LibraryItem& b)
{
    const std::u16string x = pathText(a.fileName);
    const std::u16string y = pathText(b.fileName);
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(),
                                        [](char16_t l, char16_t r) { return foldAscii(l) < foldAscii(r); });
}

bool isListed(const fs::directory_entry& entry, bool& isFolder)
{
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.front() == '.')
        return false;
    std::error_code ec;
    isFolder = entry.is_directory(ec);
    return isFolder || name.find(".xml") != std::string::npos;
}

bool hasListedEntry(const fs::path& folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        bool isFolder = false;
        if (isListed(*it, isFolder))
            return true;
    }
    return false;
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
    if (name.size() < 5 || name[4] != u'_')
        return std::nullopt;
    int number = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (!isDigit(name[i]))
            return std::nullopt;
        number = number * 10 + (name[i] - u'0');
    }
    return number;
}

std::u16string itemText(std::u16string_view name, ItemKind kind)
{
    if (orderPrefix(name))
        name.remove_prefix(5);
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
    std::vector<LibraryItem> folders;
    std::vector<LibraryItem> chapters;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        bool isFolder = false;
        if (!isListed(*it, isFolder))
            continue;
        LibraryItem item;
        item.kind = isFolder ? ItemKind::Folder : ItemKind::Chapter;
        item.fileName = it->path().filename();
        const std::u16string name = pathText(item.fileName);
        item.text = itemText(name, item.kind);
        item.order = orderPrefix(name).value_or(0);
        item.hasChildren = isFolder && hasListedEntry(it->path());
        (isFolder ? folders : chapters).push_back(std::move(item));
    }
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(chapters.begin(), chapters.end(), byName);
    const auto category = std::find_if(folders.begin(), folders.end(),
                                       [](const LibraryItem& f) { return pathText(f.fileName) == kCategoryFolderName; });
    // Moved to the front with the others keeping their order (a plain swap
    // with the first folder would send that folder out of order).
    if (category != folders.end())
        std::rotate(folders.begin(), category, category + 1);
    folders.insert(folders.end(), std::make_move_iterator(chapters.begin()), std::make_move_iterator(chapters.end()));
    return folders;
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
