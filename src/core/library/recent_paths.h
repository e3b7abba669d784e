// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/util/result.h"

namespace veyla::library {

// The recently opened library roots, most recent first, at most four.
class RecentPaths {
public:
    static constexpr std::size_t kCapacity = 4;

    // Puts path first. Nothing changes when it already is first (compared
    // without regard to case); otherwise entries move down one place up to
    // where the same path stood, or to the end, dropping the fourth.
    // Returns whether the list changed.
    bool add(std::u16string_view path);
    void clear();

    std::size_t count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // Slot i (0…3); empty for an unused slot.
    const std::u16string& at(std::size_t i) const { return m_paths[i]; }

    // Writes section "Mru File" of an INI file: FileNum = the count, keys
    // "1" … "4" = the paths (empty for empty slots).
    Status save(const std::filesystem::path& iniFile) const;

private:
    std::array<std::u16string, kCapacity> m_paths;
    std::size_t m_count = 0;
};

}  // namespace veyla::library
