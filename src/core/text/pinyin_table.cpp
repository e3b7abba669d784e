// SPDX-License-Identifier: MIT
#include "core/text/pinyin_table.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::text {

namespace {

// The line buffer of the table's reader holds 63 bytes and a terminator.
constexpr std::size_t kLineBuffer = 64;
constexpr std::size_t kBlockLines = PinyinTable::kLast - PinyinTable::kFirst + 1;

// Where the line starting at pos ends: after its '\n', after 63 bytes, or
// at the end of the bytes.
std::size_t lineEnd(std::string_view bytes, std::size_t pos)
{
    const std::size_t limit = std::min(bytes.size(), pos + kLineBuffer - 1);
    const std::size_t newline = bytes.find('\n', pos);
    return newline < limit ? newline + 1 : limit;
}

// The line as a C string reader sees it: up to its first NUL byte.
std::string_view asCString(std::string_view line)
{
    return line.substr(0, std::min(line.size(), line.find('\0')));
}

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void addOnce(std::vector<std::u16string>& list, std::u16string item)
{
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(std::move(item));
}

std::u16string characterText(char32_t c)
{
    if (c < 0x10000)
        return std::u16string(1, static_cast<char16_t>(c));
    const char32_t v = c - 0x10000;
    return {static_cast<char16_t>(0xD800 + (v >> 10)), static_cast<char16_t>(0xDC00 + (v & 0x3FF))};
}

std::string codePointName(char32_t c)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

}  // namespace

unsigned long long leadingHexNumber(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    // "0x" before the digits is skipped; "0x" alone reads as 0 either way.
    if (i + 1 < line.size() && line[i] == '0' && (line[i + 1] == 'x' || line[i + 1] == 'X'))
        i += 2;
    constexpr auto kMax = std::numeric_limits<unsigned long long>::max();
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < line.size() && utf16::hexDigitValue(line[i]) >= 0; ++i) {
        if (value > (kMax >> 4))
            overflow = true;
        value = value * 16 + static_cast<unsigned>(utf16::hexDigitValue(line[i]));
    }
    if (overflow)
        return kMax;
    return negative ? 0 - value : value;
}

PinyinTable::PinyinTable(std::filesystem::path file) : m_file(std::move(file)) {}

std::filesystem::path PinyinTable::shippedPath(const platform::AppFolders& folders)
{
    return folders.programControl("Uni2Pinyin") / "Uni2Pinyin.DAT";
}

Status PinyinTable::open()
{
    m_open = false;
    m_bytes.clear();
    m_lineStarts.clear();
    auto bytes = platform::readWholeFile(m_file);
    if (!bytes)
        return bytes.error();
    m_bytes = std::move(bytes.value());
    const std::string_view all(m_bytes);
    std::size_t pos = 0;
    while (pos < all.size() && leadingHexNumber(asCString(all.substr(pos, lineEnd(all, pos) - pos))) != kFirst)
        pos = lineEnd(all, pos);
    if (pos >= all.size()) {
        m_bytes.clear();
        return Error{ErrorCode::MalformedData, m_file.string() + ": no line for U+4E00"};
    }
    while (pos < all.size() && m_lineStarts.size() < kBlockLines) {
        m_lineStarts.push_back(static_cast<std::uint32_t>(pos));
        pos = lineEnd(all, pos);
    }
    m_lineStarts.push_back(static_cast<std::uint32_t>(pos));
    m_open = true;
    return {};
}

std::string_view PinyinTable::line(std::size_t index) const
{
    return asCString(std::string_view(m_bytes).substr(m_lineStarts[index], m_lineStarts[index + 1] - m_lineStarts[index]));
}

Status PinyinTable::lookup(char32_t c, std::vector<std::u16string>& syllables, std::vector<std::u16string>& initials)
{
    if (c < kFirst || c > kLast) {
        // The whole character, not its low byte: "，" stays a comma rather
        // than becoming a control character in a spelling or a slug.
        syllables.push_back(characterText(c));
        return {};
    }
    if (!m_open) {
        if (Status opened = open(); !opened)
            return opened;
    }
    const std::size_t index = c - kFirst;
    if (index + 1 >= m_lineStarts.size() || leadingHexNumber(line(index)) != c)
        return Error{ErrorCode::MalformedData, m_file.string() + ": no line for " + codePointName(c)};
    const std::string_view text = line(index);
    std::u16string run;
    for (std::size_t i = 4; i <= text.size(); ++i) {
        if (i < text.size() && text[i] >= 'a' && text[i] <= 'z') {
            run.push_back(static_cast<char16_t>(text[i]));
            continue;
        }
        if (run.empty())
            continue;
        addOnce(initials, std::u16string(1, static_cast<char16_t>(run.front() - 32)));
        addOnce(syllables, std::move(run));
        run.clear();
    }
    return {};
}

}  // namespace veyla::text
