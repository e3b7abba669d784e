// SPDX-License-Identifier: MIT
#include "core/library/bookmark_list.h"

#include <algorithm>

#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::library {

namespace fs = std::filesystem;

std::u16string bookmarkText(const std::vector<std::u16string>& namesFromRoot)
{
    std::u16string text;
    for (std::size_t i = 0; i < namesFromRoot.size(); ++i) {
        if (i > 0)
            text += kBookmarkNameSeparator;
        text += namesFromRoot[i];
    }
    return text;
}

std::vector<std::u16string> bookmarkNames(std::u16string_view text)
{
    if (!text.empty() && text.back() == kExitBookmarkMark)
        text.remove_suffix(1);
    std::vector<std::u16string> names;
    std::size_t start = 0;
    for (;;) {
        const auto separator = text.find(kBookmarkNameSeparator, start);
        names.emplace_back(text.substr(start, separator == std::u16string_view::npos ? text.npos : separator - start));
        if (separator == std::u16string_view::npos)
            break;
        start = separator + 1;
    }
    return names;
}

BookmarkList BookmarkList::fromBytes(std::string_view bytes, LoadResult& result)
{
    BookmarkList list;
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE) {
        result = LoadResult::NotUnicode;
        return list;
    }
    result = LoadResult::Loaded;
    const std::u16string text = utf16::decodeLittleEndian(bytes.substr(2));
    BookmarkGroup current;
    bool open = false;
    auto close = [&] {
        if (open && !current.entries.empty())
            list.m_groups.push_back(std::move(current));
        current = {};
    };
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        std::u16string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        if (line.find(u'*') != std::u16string_view::npos) {
            close();
            line = utf16::trimLeft(line, u"*");
            current.title = std::u16string(line.substr(0, line.find(u'*')));
            open = true;
        } else if (open && !line.empty()) {
            const auto bar = line.rfind(u'|');
            Bookmark entry;
            entry.text = std::u16string(line.substr(0, bar));
            entry.position = bar == std::u16string_view::npos ? 0 : utf16::toInteger(line.substr(bar + 1));
            current.entries.push_back(std::move(entry));
        }
    }
    close();
    return list;
}

BookmarkList::LoadResult BookmarkList::load(const fs::path& file)
{
    m_groups.clear();
    auto bytes = platform::readWholeFile(file);
    if (!bytes) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(file, ec)))
            return LoadResult::Missing;
        // There but unreadable (no permission, a folder): kept aside like a file in another format.
        (void)platform::keepAside(file, ".unreadable");
        return LoadResult::Unreadable;
    }
    LoadResult result = LoadResult::Loaded;
    *this = fromBytes(*bytes, result);
    if (result == LoadResult::NotUnicode)
        (void)platform::keepAside(file, ".unreadable");
    return result;
}

std::string BookmarkList::toBytes() const
{
    std::u16string text;
    for (const auto& group : m_groups) {
        text += group.title + u"*" + utf16::number(static_cast<long long>(group.entries.size())) + u"\r\n";
        for (const auto& entry : group.entries)
            text += entry.text + u"|" + utf16::number(entry.position) + u"\r\n";
    }
    return "\xFF\xFE" + utf16::encodeLittleEndian(text);
}

Status BookmarkList::save(const fs::path& file) const
{
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    return platform::writeFileAtomically(file, toBytes());
}

std::size_t BookmarkList::size() const
{
    std::size_t count = 0;
    for (const auto& group : m_groups)
        count += group.entries.size();
    return count;
}

void BookmarkList::add(std::u16string_view groupTitle, Bookmark bookmark)
{
    auto group = std::find_if(m_groups.begin(), m_groups.end(), [&](const BookmarkGroup& g) { return g.title == groupTitle; });
    if (group == m_groups.end()) {
        m_groups.push_back({std::u16string(groupTitle), {}});
        group = m_groups.end() - 1;
    }
    group->entries.push_back(std::move(bookmark));
}

bool BookmarkList::contains(std::u16string_view text) const
{
    for (const auto& group : m_groups) {
        for (const auto& entry : group.entries) {
            if (entry.text == text)
                return true;
        }
    }
    return false;
}

bool BookmarkList::remove(std::size_t group, std::size_t entry)
{
    if (group >= m_groups.size() || entry >= m_groups[group].entries.size())
        return false;
    auto& entries = m_groups[group].entries;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(entry));
    if (entries.empty())
        m_groups.erase(m_groups.begin() + static_cast<std::ptrdiff_t>(group));
    return true;
}

int BookmarkList::renameItem(const std::vector<std::u16string>& oldNamesFromRoot, std::u16string_view newName)
{
    if (oldNamesFromRoot.empty())
        return 0;
    int changed = 0;
    for (auto& group : m_groups) {
        for (auto& entry : group.entries) {
            const bool exitMark = !entry.text.empty() && entry.text.back() == kExitBookmarkMark;
            std::vector<std::u16string> names = bookmarkNames(entry.text);
            if (names.size() < oldNamesFromRoot.size() ||
                !std::equal(oldNamesFromRoot.begin(), oldNamesFromRoot.end(), names.begin()))
                continue;
            names[oldNamesFromRoot.size() - 1] = std::u16string(newName);
            entry.text = bookmarkText(names) + (exitMark ? std::u16string(1, kExitBookmarkMark) : std::u16string());
            ++changed;
        }
    }
    return changed;
}

}  // namespace veyla::library
