// SPDX-License-Identifier: MIT
#include "core/output/json_reader.h"

#include <algorithm>
#include <utility>

namespace veyla::output {

namespace {

bool isJsonSpace(char c)
{
    return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

bool isNumberChar(char c)
{
    return c == ' ' || c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 'E' || c == 'e';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A code point below U+10000 as one to three UTF-8 bytes; U+FFFF gives nothing.
void appendCodePoint(std::string& out, unsigned cp)
{
    if (cp == 0xFFFF)
        return;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

// Recursive descent over the bytes; every container is finished (objects
// sorted) even when reading stops inside it, so partial results stay usable.
class JsonParser {
public:
    JsonParser(std::string_view bytes, const JsonLimits& limits) : m_in(bytes), m_limits(limits) {}

    JsonDocument run()
    {
        JsonDocument document;
        const auto start = m_in.find_first_of("[{");
        if (start == std::string_view::npos)
            return document;
        m_pos = start;
        document.complete = parseValue(document.root, 0);
        return document;
    }

private:
    // A container read in part stays; a scalar that failed is dropped.
    static bool isContainer(const JsonValue& value)
    {
        return value.kind() == JsonValue::Kind::Object || value.kind() == JsonValue::Kind::Array;
    }

    char peek() const { return m_pos < m_in.size() ? m_in[m_pos] : '\0'; }
    void skipSpace()
    {
        while (m_pos < m_in.size() && isJsonSpace(m_in[m_pos]))
            ++m_pos;
    }

    bool parseValue(JsonValue& value, std::size_t depth)
    {
        if (++m_values > m_limits.maxValues)
            return false;
        skipSpace();
        const char c = peek();
        if (c == '{' || c == '[') {
            if (depth >= m_limits.maxDepth)
                return false;
            ++m_pos;
            return c == '{' ? parseObject(value, depth + 1) : parseArray(value, depth + 1);
        }
        if (c == '"') {
            value.m_kind = JsonValue::Kind::String;
            return parseString(value.m_text);
        }
        for (const std::string_view word : {"null", "true", "false"}) {
            if (m_in.substr(m_pos, word.size()) == word) {
                value = JsonValue(JsonValue::Kind::Literal, std::string(word));
                m_pos += word.size();
                return true;
            }
        }
        if (c == '\0' || !isNumberChar(c))
            return false;
        const std::size_t start = m_pos;
        while (m_pos < m_in.size() && isNumberChar(m_in[m_pos]))
            ++m_pos;
        value = JsonValue(JsonValue::Kind::Literal, std::string(m_in.substr(start, m_pos - start)));
        return true;
    }

    bool parseArray(JsonValue& value, std::size_t depth)
    {
        value.m_kind = JsonValue::Kind::Array;
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return true;
        }
        while (true) {
            value.m_items.emplace_back();
            if (!parseValue(value.m_items.back(), depth)) {
                if (!isContainer(value.m_items.back()))
                    value.m_items.pop_back();
                return false;
            }
            skipSpace();
            const char c = peek();
            ++m_pos;
            if (c == ']')
                return true;
            if (c != ',')
                return false;
        }
    }

    bool parseObject(JsonValue& value, std::size_t depth)
    {
        value.m_kind = JsonValue::Kind::Object;
        std::vector<std::pair<std::string, JsonValue>> members;
        const bool ok = parseMembers(members, depth);
        finishObject(value, std::move(members));
        return ok;
    }

    bool parseMembers(std::vector<std::pair<std::string, JsonValue>>& members, std::size_t depth)
    {
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
            return true;
        }
        while (true) {
            skipSpace();
            if (peek() != '"')
                return false;
            std::string key;
            if (!parseString(key))
                return false;
            skipSpace();
            if (peek() != ':')
                return false;
            ++m_pos;
            members.emplace_back(std::move(key), JsonValue());
            if (!parseValue(members.back().second, depth)) {
                if (!isContainer(members.back().second))
                    members.pop_back();
                return false;
            }
            skipSpace();
            const char c = peek();
            ++m_pos;
            if (c == '}')
                return true;
            if (c != ',')
                return false;
        }
    }

    static void finishObject(JsonValue& value, std::vector<std::pair<std::string, JsonValue>> members)
    {
        std::stable_sort(members.begin(), members.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [key, member] : members) {
            if (!value.m_keys.empty() && value.m_keys.back() == key)
                continue;  // a repeated key keeps its first value
            value.m_keys.push_back(std::move(key));
            value.m_items.push_back(std::move(member));
        }
    }

    // At the opening quote. A string that runs to the end of the bytes ends there.
    bool parseString(std::string& out)
    {
        ++m_pos;
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_in.size())
                return true;
            const char e = m_in[m_pos++];
            switch (e) {
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u':
                if (!parseHexEscape(out))
                    return false;
                break;
            default: out += e; break;
            }
        }
        return true;
    }

    bool parseHexEscape(std::string& out)
    {
        unsigned cp = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = m_pos < m_in.size() ? hexValue(m_in[m_pos]) : -1;
            if (digit < 0)
                return false;
            cp = cp * 16 + static_cast<unsigned>(digit);
            ++m_pos;
        }
        appendCodePoint(out, cp);
        return true;
    }

    std::string_view m_in;
    JsonLimits m_limits;
    std::size_t m_pos = 0;
    std::size_t m_values = 0;
};

JsonDocument parseJson(std::string_view bytes, const JsonLimits& limits)
{
    const auto nul = bytes.find('\0');
    if (nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    return JsonParser(bytes, limits).run();
}

const JsonValue* JsonValue::member(std::string_view key) const
{
    if (m_kind != Kind::Object)
        return nullptr;
    const auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    if (it == m_keys.end() || *it != key)
        return nullptr;
    return &m_items[static_cast<std::size_t>(it - m_keys.begin())];
}

const JsonValue* JsonValue::find(std::string_view path) const
{
    path = path.substr(0, 127);
    const JsonValue* value = this;
    std::size_t i = 0;
    while (value != nullptr && i < path.size()) {
        if (path[i] == '.') {
            ++i;
            continue;
        }
        if (path[i] == '[') {
            const auto close = path.find(']', i);
            if (close == std::string_view::npos || value->m_kind != Kind::Array)
                return nullptr;
            std::size_t index = 0;
            for (std::size_t k = i + 1; k < close; ++k) {
                if (path[k] < '0' || path[k] > '9' || index > value->m_items.size())
                    return nullptr;
                index = index * 10 + static_cast<std::size_t>(path[k] - '0');
            }
            if (close == i + 1 || index >= value->m_items.size())
                return nullptr;
            value = &value->m_items[index];
            i = close + 1;
            continue;
        }
        const auto end = path.find_first_of(".[", i);
        const auto name = path.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
        value = value->member(name);
        i = end == std::string_view::npos ? path.size() : end;
    }
    return value;
}

}  // namespace veyla::output
