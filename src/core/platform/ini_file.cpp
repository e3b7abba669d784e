// SPDX-License-Identifier: MIT
#include "core/platform/ini_file.h"

#include "core/platform/file_io.h"
#include "core/util/code_page.h"
#include "core/util/utf16.h"

namespace veyla::platform {

namespace {

constexpr std::u16string_view kBlanks = u" \t\r\f\v";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

char16_t foldAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

// The section name of a header line "[name]", or nothing.
bool sectionName(std::u16string_view line, std::u16string_view& name)
{
    line = utf16::trim(line, kBlanks);
    if (line.size() < 2 || line.front() != u'[')
        return false;
    const auto close = line.find(u']');
    if (close == std::u16string_view::npos)
        return false;
    name = utf16::trim(line.substr(1, close - 1), kBlanks);
    return true;
}

// Splits "key=value" into trimmed parts; false for lines without '='.
bool keyValue(std::u16string_view line, std::u16string_view& key, std::u16string_view& value)
{
    const auto eq = line.find(u'=');
    if (eq == std::u16string_view::npos)
        return false;
    key = utf16::trim(line.substr(0, eq), kBlanks);
    value = utf16::trim(line.substr(eq + 1), kBlanks);
    return !key.empty() && key.front() != u';';
}

}  // namespace

IniFile IniFile::fromBytes(std::string_view bytes)
{
    std::u16string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        text = utf16::decodeLittleEndian(bytes.substr(2));
    else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        text = utf16::fromUtf8(bytes.substr(3));
    else if (utf16::isValidUtf8(bytes))
        text = utf16::fromUtf8(bytes);
    else
        text = decodeCodePage(bytes);

    IniFile file;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        std::u16string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.pop_back();
        file.m_lines.push_back(std::move(line));
        start = end + 1;
    }
    return file;
}

IniFile IniFile::load(const std::filesystem::path& path)
{
    auto bytes = readWholeFile(path);
    if (!bytes)
        return {};
    return fromBytes(*bytes);
}

std::size_t IniFile::findSection(std::u16string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        std::u16string_view name;
        if (sectionName(m_lines[i], name) && equalsIgnoringCase(name, section))
            return i;
    }
    return kNone;
}

bool IniFile::findKey(std::size_t header, std::u16string_view key, KeyLine& found) const
{
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        std::u16string_view name;
        if (sectionName(m_lines[i], name))
            return false;
        std::u16string_view k;
        std::u16string_view v;
        if (keyValue(m_lines[i], k, v) && equalsIgnoringCase(k, key)) {
            found = {i, v};
            return true;
        }
    }
    return false;
}

std::u16string IniFile::value(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const
{
    std::u16string_view result = defaultValue;
    const std::size_t header = findSection(section);
    KeyLine line{};
    if (header != kNone && findKey(header, key, line)) {
        result = line.value;
        if (result.size() >= 2 && (result.front() == u'"' || result.front() == u'\'') && result.back() == result.front())
            result = result.substr(1, result.size() - 2);
    }
    if (result.size() > kValueBufferSize - 1)
        result = result.substr(0, kValueBufferSize - 1);
    return std::u16string(result);
}

long long IniFile::integer(std::u16string_view section, std::u16string_view key, long long defaultValue) const
{
    if (!contains(section, key))
        return defaultValue;
    return utf16::toInteger(value(section, key));
}

bool IniFile::contains(std::u16string_view section, std::u16string_view key) const
{
    const std::size_t header = findSection(section);
    KeyLine line{};
    return header != kNone && findKey(header, key, line);
}

void IniFile::setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value)
{
    std::u16string newLine = std::u16string(key) + u"=" + std::u16string(value);
    const std::size_t header = findSection(section);
    if (header == kNone) {
        m_lines.push_back(u"[" + std::u16string(section) + u"]");
        m_lines.push_back(std::move(newLine));
        return;
    }
    KeyLine line{};
    if (findKey(header, key, line)) {
        m_lines[line.index] = std::move(newLine);
        return;
    }
    // After the last non-blank line of the section.
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        std::u16string_view name;
        if (sectionName(m_lines[i], name))
            break;
        if (!utf16::trim(m_lines[i], kBlanks).empty())
            insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(newLine));
}

void IniFile::setInteger(std::u16string_view section, std::u16string_view key, long long value)
{
    setValue(section, key, utf16::number(value));
}

std::string IniFile::toBytes() const
{
    std::u16string text;
    for (const auto& line : m_lines) {
        text += line;
        text += u"\r\n";
    }
    return "\xFF\xFE" + utf16::encodeLittleEndian(text);
}

Status IniFile::save(const std::filesystem::path& path) const
{
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    return writeFileAtomically(path, toBytes());
}

std::u16string readProfileString(const std::filesystem::path& file, std::u16string_view section,
                                 std::u16string_view key, std::u16string_view defaultValue)
{
    return IniFile::load(file).value(section, key, defaultValue);
}

long long readProfileInteger(const std::filesystem::path& file, std::u16string_view section,
                             std::u16string_view key, long long defaultValue)
{
    return IniFile::load(file).integer(section, key, defaultValue);
}

Status writeProfileString(const std::filesystem::path& file, std::u16string_view section, std::u16string_view key,
                          std::u16string_view value)
{
    IniFile ini = IniFile::load(file);
    ini.setValue(section, key, value);
    return ini.save(file);
}

}  // namespace veyla::platform
