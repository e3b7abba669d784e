// SPDX-License-Identifier: MIT
#include "core/library/recent_paths.h"

#include <algorithm>

#include "core/platform/ini_file.h"
#include "core/util/utf16.h"

namespace veyla::library {

namespace {

char16_t lower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool sameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

}  // namespace

bool RecentPaths::add(std::u16string_view path)
{
    if (m_count > 0 && sameIgnoringCase(m_paths[0], path))
        return false;
    std::size_t stop = kCapacity - 1;
    for (std::size_t i = 0; i < m_count; ++i) {
        if (sameIgnoringCase(m_paths[i], path)) {
            stop = i;
            break;
        }
    }
    const bool wasListed = stop < m_count && sameIgnoringCase(m_paths[stop], path);
    for (std::size_t i = stop; i > 0; --i)
        m_paths[i] = std::move(m_paths[i - 1]);
    m_paths[0] = std::u16string(path);
    if (!wasListed)
        m_count = std::min(m_count + 1, kCapacity);
    return true;
}

void RecentPaths::clear()
{
    m_paths.fill({});
    m_count = 0;
}

Status RecentPaths::save(const std::filesystem::path& iniFile) const
{
    platform::IniFile ini = platform::IniFile::load(iniFile);
    ini.setInteger(u"Mru File", u"FileNum", static_cast<long long>(m_count));
    for (std::size_t i = 0; i < kCapacity; ++i)
        ini.setValue(u"Mru File", utf16::number(static_cast<long long>(i + 1)), m_paths[i]);
    return ini.save(iniFile);
}

}  // namespace veyla::library
