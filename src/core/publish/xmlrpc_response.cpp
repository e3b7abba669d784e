// SPDX-License-Identifier: MIT
#include "core/publish/xmlrpc_response.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace veyla::publish {
namespace {

constexpr std::size_t kMaxTagLength = 127;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// "&#NNN;" or "&#xHHH;" at the start of text: its length and code point, or 0.
std::size_t numericReference(std::string_view text, char32_t& c)
{
    if (text.size() < 4 || text[0] != '&' || text[1] != '#')
        return 0;
    const bool hex = text[2] == 'x' || text[2] == 'X';
    const std::size_t first = hex ? 3 : 2;
    const std::size_t end = text.find(';', first);
    if (end == std::string_view::npos || end == first || end - first > 8)
        return 0;
    std::uint32_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + first, text.data() + end, value, hex ? 16 : 10);
    if (ec != std::errc() || ptr != text.data() + end)
        return 0;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    c = value;
    return end + 1;
}

class ResponseParser {
public:
    ResponseParser(std::string_view text, const XmlRpcLimits& limits) : m_text(text), m_limits(limits) {}

    Result<XmlRpcResponse> response();
    bool value(XmlRpcValue& out, std::size_t depth);
    bool atEnd() const { return m_pos >= m_text.size(); }
    const Error& error() const { return m_error; }

private:
    std::string_view nextTag();
    bool expect(std::string_view tag);
    bool fail(std::string text, ErrorCode code = ErrorCode::Unsupported);
    // The text up to the next "<" (not consumed), or false when there is none.
    bool textUpToTag(std::string_view& text);
    void skipBlanks();

    bool typed(std::string_view tag, XmlRpcValue& out, std::size_t depth, bool& closed);
    bool boolean(XmlRpcValue& out);
    bool integer(XmlRpcValue& out);
    bool real(XmlRpcValue& out);
    bool dateTime(XmlRpcValue& out);
    bool array(XmlRpcValue& out, std::size_t depth);
    bool structure(XmlRpcValue& out, std::size_t depth);

    std::string_view m_text;
    std::size_t m_pos = 0;
    XmlRpcLimits m_limits;
    std::size_t m_values = 0;
    Error m_error{ErrorCode::Unsupported, {}};
};

bool ResponseParser::fail(std::string text, ErrorCode code)
{
    m_error = Error{code, cutErrorText(text)};
    return false;
}

void ResponseParser::skipBlanks()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
}

std::string_view ResponseParser::nextTag()
{
    skipBlanks();
    const std::size_t close = m_text.find('>', m_pos);
    if (close == std::string_view::npos)
        return {};
    std::string_view tag = m_text.substr(m_pos, close + 1 - m_pos);
    m_pos = close + 1;
    return tag.substr(0, kMaxTagLength);
}

bool ResponseParser::expect(std::string_view tag)
{
    if (equalsIgnoringCase(nextTag(), tag))
        return true;
    return fail("Expecting tag: " + std::string(tag));
}

bool ResponseParser::textUpToTag(std::string_view& text)
{
    const std::size_t open = m_text.find('<', m_pos);
    if (open == std::string_view::npos)
        return false;
    text = m_text.substr(m_pos, open - m_pos);
    m_pos = open;
    return true;
}

Result<XmlRpcResponse> ResponseParser::response()
{
    if (m_text.size() > m_limits.maxBytes)
        return Error{ErrorCode::TooLarge, "Response too large"};
    if (nextTag().find("xml version") == std::string_view::npos) {
        if (m_text.find("<html") != std::string_view::npos || m_text.find("<HTML") != std::string_view::npos)
            fail("It looks like you've configured the wrong URL. That URL is sending us HTML text, whereas we "
                 "need RPC data.");
        else
            fail(std::string(m_text));
        return m_error;
    }
    if (!equalsIgnoringCase(nextTag(), "<methodResponse>")) {
        if (m_text.find("<title>Bad request!</title>") != std::string_view::npos)
            fail("Talking HTTP to a HTTPS server?");
        else if (m_text.find("Object not found") != std::string_view::npos)
            fail("Wrong URL (\"Object not found\")");
        else
            fail(std::string(m_text));
        return m_error;
    }
    skipBlanks();
    XmlRpcResponse response;
    if (m_text.substr(m_pos).starts_with("<fault>")) {
        nextTag();
        if (!value(response.value, 0) || !expect("</fault>"))
            return m_error;
        response.fault = true;
        return response;
    }
    if (!expect("<params>") || !expect("<param>") || !value(response.value, 0))
        return m_error;
    return response;
}

bool ResponseParser::value(XmlRpcValue& out, std::size_t depth)
{
    if (depth >= m_limits.maxDepth)
        return fail("Response nested too deeply", ErrorCode::TooLarge);
    if (++m_values > m_limits.maxValues)
        return fail("Response has too many values", ErrorCode::TooLarge);
    const std::string_view open = nextTag();
    if (equalsIgnoringCase(open, "<value/>")) {
        out = std::string();
        return true;
    }
    if (!equalsIgnoringCase(open, "<value>"))
        return fail("Expecting tag: <value>");
    const std::size_t afterOpen = m_pos;
    const std::string_view tag = nextTag();
    if (tag.empty()) {
        // No ">" left: the rest up to the next "<" is the string.
        m_pos = afterOpen;
        std::string_view text;
        if (!textUpToTag(text))
            text = m_text.substr(m_pos), m_pos = m_text.size();
        out = decodeEntities(text);
        return expect("</value>");
    }
    bool closed = false;
    if (!typed(tag, out, depth, closed))
        return false;
    return closed || expect("</value>");
}

bool ResponseParser::typed(std::string_view tag, XmlRpcValue& out, std::size_t depth, bool& closed)
{
    const auto is = [&](std::string_view name) { return equalsIgnoringCase(tag, name); };
    if (is("</value>")) {
        out = std::string();
        closed = true;
        return true;
    }
    if (is("<boolean>"))
        return boolean(out) && expect("</boolean>");
    if (is("<i4>"))
        return integer(out) && expect("</i4>");
    if (is("<int>"))
        return integer(out) && expect("</int>");
    if (is("<double>"))
        return real(out) && expect("</double>");
    if (is("<string>")) {
        std::string_view text;
        if (!textUpToTag(text))
            return fail("Bad string");
        out = decodeEntities(text);
        return expect("</string>");
    }
    if (is("<dateTime.iso8601>"))
        return dateTime(out) && expect("</dateTime.iso8601>");
    if (is("<base64>")) {
        std::string_view text;
        if (!textUpToTag(text))
            return fail("Bad base64");
        auto bytes = decodeBase64(text);
        if (!bytes)
            return fail("Bad base64");
        out = XmlRpcBinary{std::move(*bytes)};
        return expect("</base64>");
    }
    if (is("<array>"))
        return array(out, depth);
    if (is("<struct>"))
        return structure(out, depth);
    if (is("<struct/>")) {
        out = XmlRpcValue::structure();
        return true;
    }
    if (is("<string/>")) {
        out = std::string();
        return true;
    }
    if (is("<nil/>")) {
        out = XmlRpcNil{};
        return true;
    }
    return fail("Unknown type tag: " + std::string(tag));
}

bool ResponseParser::boolean(XmlRpcValue& out)
{
    const std::string_view rest = m_text.substr(m_pos);
    if (rest.size() < 2 || (rest[0] != '0' && rest[0] != '1') || rest[1] != '<')
        return fail("bad BOOL");
    out = rest[0] == '1';
    ++m_pos;
    return true;
}

bool ResponseParser::integer(XmlRpcValue& out)
{
    skipBlanks();
    std::size_t start = m_pos;
    if (start < m_text.size() && m_text[start] == '+')
        ++start;
    std::int32_t number = 0;
    const auto [ptr, ec] = std::from_chars(m_text.data() + start, m_text.data() + m_text.size(), number);
    if (ec == std::errc::result_out_of_range)
        return fail("Bad int: out of range");
    if (ec != std::errc())
        return fail("Bad int");
    m_pos = static_cast<std::size_t>(ptr - m_text.data());
    out = int{number};
    return true;
}

bool ResponseParser::real(XmlRpcValue& out)
{
    skipBlanks();
    std::size_t start = m_pos;
    if (start < m_text.size() && m_text[start] == '+')
        ++start;
    double number = 0;
    const auto [ptr, ec] = std::from_chars(m_text.data() + start, m_text.data() + m_text.size(), number);
    if (ec != std::errc())
        return fail("Bad double");
    m_pos = static_cast<std::size_t>(ptr - m_text.data());
    out = number;
    return true;
}

bool ResponseParser::dateTime(XmlRpcValue& out)
{
    std::string_view text;
    if (!textUpToTag(text))
        return fail("Bad time value");
    // sscanf needs a terminated string; the fields fit in far fewer bytes.
    const std::string copy(text.substr(0, 64));
    XmlRpcDateTime t;
    if (std::sscanf(copy.c_str(), "%4d%2d%2dT%2d:%2d:%2d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second) != 6)
        return fail("Bad time value");
    out = t;
    return true;
}

bool ResponseParser::array(XmlRpcValue& out, std::size_t depth)
{
    XmlRpcArray elements;
    const std::string_view data = nextTag();
    if (equalsIgnoringCase(data, "<data>")) {
        for (;;) {
            const std::size_t before = m_pos;
            if (equalsIgnoringCase(nextTag(), "</data>"))
                break;
            m_pos = before;
            XmlRpcValue element;
            if (!value(element, depth + 1))
                return false;
            elements.push_back(std::move(element));
        }
    } else if (!equalsIgnoringCase(data, "<data/>")) {
        return fail("Expecting tag:  <data>");
    }
    out = XmlRpcValue(std::move(elements));
    return expect("</array>");
}

bool ResponseParser::structure(XmlRpcValue& out, std::size_t depth)
{
    XmlRpcMembers members;
    for (;;) {
        const std::string_view tag = nextTag();
        if (equalsIgnoringCase(tag, "</struct>")) {
            out = XmlRpcValue::structureOf(std::move(members));
            return true;
        }
        if (!equalsIgnoringCase(tag, "<member>"))
            return fail("Expecting tag: <member>");
        std::string_view name;
        if (!equalsIgnoringCase(nextTag(), "<name>") || !textUpToTag(name))
            return fail("Bad 'name' tag in struct");
        const std::string decodedName = decodeEntities(name);
        XmlRpcValue member;
        if (!expect("</name>") || !value(member, depth + 1) || !expect("</member>"))
            return false;
        members.emplace_back(decodedName, std::move(member));
    }
}

}  // namespace

XmlRpcFault faultOf(const XmlRpcValue& faultValue)
{
    XmlRpcFault fault;
    if (const auto* code = faultValue.member("faultCode")) {
        if (auto number = code->asInt())
            fault.code = *number;
        else if (auto text = code->asString())
            std::from_chars(text->data(), text->data() + text->size(), fault.code);  // stays 0 when unreadable
    }
    if (const auto* message = faultValue.member("faultString"))
        fault.message = message->asString().ok() ? *message->asString() : std::string();
    return fault;
}

Result<XmlRpcResponse> parseMethodResponse(std::string_view body, const XmlRpcLimits& limits)
{
    ResponseParser parser(body, limits);
    return parser.response();
}

Result<XmlRpcValue> parseValueXml(std::string_view xml, const XmlRpcLimits& limits)
{
    if (xml.size() > limits.maxBytes)
        return Error{ErrorCode::TooLarge, "Response too large"};
    ResponseParser parser(xml, limits);
    XmlRpcValue value;
    if (!parser.value(value, 0))
        return parser.error();
    return value;
}

std::string decodeEntities(std::string_view text)
{
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'},
    };
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        i = amp;
        const std::string_view rest = text.substr(amp);
        std::size_t used = 0;
        for (const auto& [name, c] : kNamed) {
            if (rest.starts_with(name)) {
                out += c;
                used = name.size();
                break;
            }
        }
        char32_t c = 0;
        if (used == 0 && (used = numericReference(rest, c)) != 0)
            appendUtf8(out, c);
        if (used == 0) {
            out += '&';
            used = 1;
        }
        i += used;
    }
    return out;
}

Result<std::string> decodeBase64(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    int bits = 0;
    int sextets = 0;
    int padding = 0;
    const Error bad{ErrorCode::InvalidArgument, "Bad base64"};
    for (const char c : text) {
        if (isBlank(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        int v = -1;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        if (v < 0 || padding > 0)
            return bad;
        group = (group << 6 | static_cast<std::uint32_t>(v)) & 0xFFFFFF;
        bits += 6;
        ++sextets;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(group >> bits & 0xFF);
        }
    }
    // One sixth of a byte left over cannot be padding; padding must complete a group of four.
    if (sextets % 4 == 1 || padding > 2 || (padding > 0 && (sextets + padding) % 4 != 0))
        return bad;
    return out;
}

std::string cutErrorText(std::string_view text)
{
    if (text.size() <= kMaxErrorTextBytes)
        return std::string(text);
    std::size_t end = kMaxErrorTextBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

}  // namespace veyla::publish
