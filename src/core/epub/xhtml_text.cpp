// SPDX-License-Identifier: MIT
#include "core/epub/xhtml_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/util/utf16.h"

namespace veyla::epub {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Finds a needle at or after positions that never decrease, remembering the
// last hit, so that all searches of one pass together cost linear time.
class ForwardFinder {
public:
    ForwardFinder(std::string_view haystack, std::string_view needle, bool anyOf)
        : m_haystack(haystack), m_needle(needle), m_anyOf(anyOf)
    {
    }

    std::size_t find(std::size_t from)
    {
        if (m_searched && (m_hit == npos || m_hit >= from))
            return m_hit;
        m_hit = m_anyOf ? m_haystack.find_first_of(m_needle, from) : m_haystack.find(m_needle, from);
        m_searched = true;
        return m_hit;
    }

private:
    std::string_view m_haystack;
    std::string_view m_needle;
    bool m_anyOf;
    bool m_searched = false;
    std::size_t m_hit = npos;
};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

struct TagShape {
    std::string_view name;  // without namespace prefix
    bool closing = false;   // "</name"
    bool selfClosing = false;
};

// tag runs from '<' to '>' inclusive.
TagShape shapeOf(std::string_view tag)
{
    TagShape shape;
    std::size_t at = 1;
    if (at < tag.size() && tag[at] == '/') {
        shape.closing = true;
        ++at;
    }
    const std::size_t start = at;
    while (at < tag.size()) {
        const char c = tag[at];
        const bool nameChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                              c == ':' || c == '-' || c == '_';
        if (!nameChar)
            break;
        ++at;
    }
    shape.name = tag.substr(start, at - start);
    if (const std::size_t colon = shape.name.rfind(':'); colon != npos)
        shape.name = shape.name.substr(colon + 1);
    shape.selfClosing = tag.size() >= 3 && tag[tag.size() - 2] == '/';
    return shape;
}

bool endsBlock(const TagShape& tag)
{
    static constexpr std::array<std::string_view, 12> kBlocks{"p",  "div", "h1", "h2", "h3", "h4",
                                                              "h5", "h6",  "li", "tr", "blockquote", "dd"};
    if (equalsIgnoringCase(tag.name, "br") || equalsIgnoringCase(tag.name, "hr"))
        return true;
    if (!tag.closing && !tag.selfClosing)
        return false;
    return std::any_of(kBlocks.begin(), kBlocks.end(),
                       [&](std::string_view block) { return equalsIgnoringCase(tag.name, block); });
}

bool dropsContent(const TagShape& tag)
{
    return !tag.closing && !tag.selfClosing &&
           (equalsIgnoringCase(tag.name, "script") || equalsIgnoringCase(tag.name, "style"));
}

// Named references decoded besides the numeric ones; sorted by name.
constexpr std::array<std::pair<std::string_view, char32_t>, 56> kNamedReferences{{
    {"AElig", 0xC6}, {"Eacute", 0xC9}, {"aacute", 0xE1}, {"acirc", 0xE2},   {"aelig", 0xE6},
    {"agrave", 0xE0}, {"amp", 0x26},   {"apos", 0x27},   {"auml", 0xE4},    {"bull", 0x2022},
    {"ccedil", 0xE7}, {"cent", 0xA2},  {"copy", 0xA9},   {"deg", 0xB0},     {"divide", 0xF7},
    {"eacute", 0xE9}, {"ecirc", 0xEA}, {"egrave", 0xE8}, {"emsp", 0x2003},  {"ensp", 0x2002},
    {"euml", 0xEB},   {"euro", 0x20AC}, {"gt", 0x3E},    {"hellip", 0x2026}, {"iacute", 0xED},
    {"icirc", 0xEE},  {"iexcl", 0xA1}, {"iquest", 0xBF}, {"iuml", 0xEF},    {"laquo", 0xAB},
    {"ldquo", 0x201C}, {"lsquo", 0x2018}, {"lt", 0x3C},  {"mdash", 0x2014}, {"middot", 0xB7},
    {"nbsp", 0xA0},   {"ndash", 0x2013}, {"ntilde", 0xF1}, {"oacute", 0xF3}, {"ocirc", 0xF4},
    {"ouml", 0xF6},   {"para", 0xB6},  {"pound", 0xA3},  {"quot", 0x22},    {"raquo", 0xBB},
    {"rdquo", 0x201D}, {"reg", 0xAE},  {"rsquo", 0x2019}, {"sect", 0xA7},   {"shy", 0xAD},
    {"thinsp", 0x2009}, {"times", 0xD7}, {"trade", 0x2122}, {"uacute", 0xFA}, {"uuml", 0xFC},
    {"yen", 0xA5},
}};

static_assert(std::is_sorted(kNamedReferences.begin(), kNamedReferences.end()));

char32_t numericReference(std::string_view digits)
{
    const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hex)
        digits.remove_prefix(1);
    if (digits.empty())
        return 0;
    char32_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && lower(c) >= 'a' && lower(c) <= 'f')
            digit = lower(c) - 'a' + 10;
        if (digit < 0)
            return 0;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF)
            return 0xFFFD;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    return value;
}

// The code point of the reference "&name;", or 0 when it is not one we know.
char32_t referenceValue(std::string_view name)
{
    if (!name.empty() && name[0] == '#')
        return numericReference(name.substr(1));
    const auto it = std::lower_bound(kNamedReferences.begin(), kNamedReferences.end(), name,
                                     [](const auto& entry, std::string_view key) { return entry.first < key; });
    return it != kNamedReferences.end() && it->first == name ? it->second : 0;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class MarkupStripper {
public:
    explicit MarkupStripper(std::string_view in)
        : m_in(in), m_tagEnd(in, ">", false), m_titleEnd(in, "title>", false), m_lineEnd(in, "\r\n", true)
    {
        m_out.reserve(in.size());
    }

    std::string run()
    {
        std::size_t at = m_in.starts_with("\xEF\xBB\xBF") ? 3 : 0;
        while (at < m_in.size()) {
            const char c = m_in[at];
            if (c == '<')
                at = markup(at);
            else if (c == '&')
                at = reference(at);
            else
                emit(m_in.substr(at++, 1));
        }
        if (m_pendingBreak)
            m_out += '\n';
        return std::move(m_out);
    }

private:
    // Handles the '<' at `at`; returns where scanning goes on.
    std::size_t markup(std::size_t at)
    {
        if (m_in.compare(at, 6, "<title") == 0) {
            const std::size_t close = m_titleEnd.find(at + 6);
            const std::size_t lineEnd = m_lineEnd.find(at + 6);
            if (close != npos && (lineEnd == npos || close < lineEnd))
                return close + 6;
        }
        if (at + 1 < m_in.size() && m_in[at + 1] != '>') {
            const std::size_t end = m_tagEnd.find(at + 1);
            if (end != npos)
                return tag(m_in.substr(at, end - at + 1), end + 1);
        }
        emit(m_in.substr(at, 1));
        return at + 1;
    }

    std::size_t tag(std::string_view text, std::size_t after)
    {
        const TagShape shape = shapeOf(text);
        if (endsBlock(shape))
            m_pendingBreak = true;
        if (dropsContent(shape))
            return closingTagOf(shape.name, after);
        return after;
    }

    // The position of "</name" (any case) at or after from, or the end.
    std::size_t closingTagOf(std::string_view name, std::size_t from) const
    {
        for (std::size_t at = m_in.find("</", from); at != npos; at = m_in.find("</", at + 2)) {
            if (equalsIgnoringCase(m_in.substr(at + 2, name.size()), name))
                return at;
        }
        return m_in.size();
    }

    std::size_t reference(std::size_t at)
    {
        constexpr std::size_t kLongestName = 32;
        // Only a short window is searched, so text full of '&' stays linear.
        const std::size_t inWindow = m_in.substr(at + 1, kLongestName + 1).find(';');
        const std::size_t semicolon = inWindow == npos ? npos : at + 1 + inWindow;
        if (semicolon != npos) {
            if (const char32_t value = referenceValue(m_in.substr(at + 1, semicolon - at - 1)); value != 0) {
                std::string bytes;
                appendUtf8(bytes, value);
                emit(bytes);
                return semicolon + 1;
            }
        }
        emit(m_in.substr(at, 1));
        return at + 1;
    }

    void emit(std::string_view text)
    {
        if (m_pendingBreak) {
            if (text[0] != '\n' && text[0] != '\r')
                m_out += '\n';
            m_pendingBreak = false;
        }
        m_out += text;
    }

    std::string_view m_in;
    std::string m_out;
    ForwardFinder m_tagEnd;
    ForwardFinder m_titleEnd;
    ForwardFinder m_lineEnd;
    bool m_pendingBreak = false;
};

}  // namespace

std::string stripMarkup(std::string_view bytes)
{
    return MarkupStripper(bytes).run();
}

std::u16string extractXhtmlText(std::string_view bytes)
{
    return utf16::fromUtf8(stripMarkup(bytes));
}

}  // namespace veyla::epub
