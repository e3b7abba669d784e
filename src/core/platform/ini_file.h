// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"

namespace veyla::platform {

// An INI profile file with the semantics of the Windows profile functions:
// section and key names match without regard to ASCII case, blanks around
// keys and values are ignored, a value in matching quotes loses them, and a
// value is read through a 256-unit buffer (at most 255 units come back).
// Writing a key keeps every other line, comments included.
// Files are read in UTF-16LE with a byte-order mark, UTF-8 (with or without
// mark) or GBK/GB18030, and written in UTF-16LE with a byte-order mark.
class IniFile {
public:
    static constexpr std::size_t kValueBufferSize = 256;

    IniFile() = default;
    static IniFile fromBytes(std::string_view bytes);
    // A missing or unreadable file gives an empty profile.
    static IniFile load(const std::filesystem::path& path);

    std::u16string value(std::u16string_view section, std::u16string_view key,
                         std::u16string_view defaultValue = {}) const;
    // The value as an integer (leading digits, as atoi); defaultValue when the key is absent.
    long long integer(std::u16string_view section, std::u16string_view key, long long defaultValue) const;
    bool contains(std::u16string_view section, std::u16string_view key) const;

    void setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    void setInteger(std::u16string_view section, std::u16string_view key, long long value);

    std::string toBytes() const;
    Status save(const std::filesystem::path& path) const;

    const std::vector<std::u16string>& lines() const { return m_lines; }

private:
    struct KeyLine {
        std::size_t index;
        std::u16string_view value;
    };
    // Line index of the section header, or npos.
    std::size_t findSection(std::u16string_view section) const;
    // The key's line within the section starting after header, if any.
    bool findKey(std::size_t header, std::u16string_view key, KeyLine& found) const;

    std::vector<std::u16string> m_lines;
};

// One-shot helpers in the style of the profile functions.
std::u16string readProfileString(const std::filesystem::path& file, std::u16string_view section,
                                 std::u16string_view key, std::u16string_view defaultValue);
long long readProfileInteger(const std::filesystem::path& file, std::u16string_view section,
                             std::u16string_view key, long long defaultValue);
Status writeProfileString(const std::filesystem::path& file, std::u16string_view section, std::u16string_view key,
                          std::u16string_view value);

}  // namespace veyla::platform
