// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/app_folders.h"
#include "core/util/result.h"

namespace veyla::text {

// The character-to-pinyin table control/Uni2Pinyin/Uni2Pinyin.DAT: one
// text line per character, starting with its code point in hexadecimal;
// from the fifth byte on, every run of letters a-z is a reading (tone
// digits, blanks and brackets separate them). The lines for U+4E00 to
// U+9FA5 follow one another without gaps from the line whose code is 4E00.
//
// The file is read into memory once, but cut into lines exactly as a
// reader with a 64-byte line buffer sees it (a line of 63 bytes or more
// is read as several), so every answer is the one reading the file line by
// line would give. Not for use by two threads at once.
class PinyinTable {
public:
    static constexpr char32_t kFirst = 0x4E00;
    static constexpr char32_t kLast = 0x9FA5;

    explicit PinyinTable(std::filesystem::path file);

    // The table the program ships, in the program folder.
    static std::filesystem::path shippedPath(const platform::AppFolders& folders);

    // Reads the file again and finds the line of U+4E00. FileUnavailable
    // when it cannot be read, MalformedData when it has no such line; the
    // table is closed then.
    Status open();
    bool isOpen() const { return m_open; }
    const std::filesystem::path& file() const { return m_file; }

    // Appends c's readings to syllables and their capital initials to
    // initials, each only when the list does not hold it yet, in the order
    // of the line. A character outside U+4E00-U+9FA5 is appended to
    // syllables as it stands and needs no table. Opens the table on first
    // use. Fails (and appends nothing) when the table cannot be opened, the
    // table ends before c's line, or that line is not c's (MalformedData).
    Status lookup(char32_t c, std::vector<std::u16string>& syllables, std::vector<std::u16string>& initials);

private:
    std::string_view line(std::size_t index) const;

    std::filesystem::path m_file;
    std::string m_bytes;
    std::vector<std::uint32_t> m_lineStarts;  // from the U+4E00 line on, plus the end
    bool m_open = false;
};

// The leading hexadecimal number of a line as an unsigned base-16
// conversion reads it (blanks, a sign and "0x" allowed; saturating).
unsigned long long leadingHexNumber(std::string_view line);

}  // namespace veyla::text
