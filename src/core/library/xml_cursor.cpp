// SPDX-License-Identifier: MIT
#include "core/library/xml_cursor.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace veyla::library {

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";

bool startsWith(std::u16string_view text, std::size_t at, std::u16string_view key)
{
    return text.size() - at >= key.size() && text.compare(at, key.size(), key) == 0;
}

std::string format(const char* pattern, std::u16string_view name, TextPos offset)
{
    char buffer[512];
    const std::string utf8 = utf16::toUtf8(name.substr(0, 200));
    std::snprintf(buffer, sizeof buffer, pattern, utf8.c_str(), static_cast<int>(offset));
    return buffer;
}

bool needsEscape(char16_t c, bool attribute)
{
    // All five special characters lie below '?'; most text is far above.
    return c < u'?' && (c == u'<' || c == u'&' || c == u'>' || (attribute && (c == u'\'' || c == u'"')));
}

void appendEscaped(std::u16string& out, std::u16string_view text, bool attribute)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (!needsEscape(c, attribute))
            continue;
        // Runs without special characters go in one piece.
        out.append(text.substr(start, i - start));
        start = i + 1;
        switch (c) {
        case u'<': out += u"&lt;"; break;
        case u'&': out += u"&amp;"; break;
        case u'>': out += u"&gt;"; break;
        case u'\'': out += u"&apos;"; break;
        default: out += u"&quot;"; break;
        }
    }
    out.append(text.substr(start));
}

// Appends the character of a numeric reference ("#65", "#x41"); false if invalid.
bool appendCharacterReference(std::u16string& out, std::u16string_view body)
{
    if (body.size() < 2 || body[0] != u'#')
        return false;
    char32_t cp = 0;
    const bool hex = body[1] == u'x' || body[1] == u'X';
    const std::u16string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return false;
    for (const char16_t c : digits) {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return false;
        cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    }
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
    return true;
}

bool isBlank(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), isXmlSpace);
}

std::u16string_view trimBlanks(std::u16string_view text)
{
    while (!text.empty() && isXmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isXmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// text without the blanks and end tags ("</name>") that close it.
std::u16string_view withoutTrailingEndTags(std::u16string_view text)
{
    for (;;) {
        while (!text.empty() && isXmlSpace(text.back()))
            text.remove_suffix(1);
        if (text.empty() || text.back() != u'>')
            return text;
        const auto open = text.rfind(u"</");
        if (open == std::u16string_view::npos)
            return text;
        const std::u16string_view name = trimBlanks(text.substr(open + 2, text.size() - open - 3));
        if (name.empty() || !isXmlNameStart(name.front()) || !std::all_of(name.begin(), name.end(), isXmlNameChar))
            return text;
        text = text.substr(0, open);
    }
}

}  // namespace

std::u16string escapeXmlText(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + text.size() / 8);
    appendEscaped(out, text, false);
    return out;
}

void appendEscapedXmlText(std::u16string& out, std::u16string_view text)
{
    appendEscaped(out, text, false);
}

std::u16string escapeXmlAttribute(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + 8);
    appendEscaped(out, text, true);
    return out;
}

std::u16string unescapeXml(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto amp = text.find(u'&', i);
        if (amp == std::u16string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        const auto semicolon = text.find(u';', amp + 1);
        if (semicolon == std::u16string_view::npos || semicolon - amp > 12) {
            out += u'&';
            i = amp + 1;
            continue;
        }
        const std::u16string_view body = text.substr(amp + 1, semicolon - amp - 1);
        if (body == u"lt")
            out += u'<';
        else if (body == u"gt")
            out += u'>';
        else if (body == u"amp")
            out += u'&';
        else if (body == u"apos")
            out += u'\'';
        else if (body == u"quot")
            out += u'"';
        else if (!appendCharacterReference(out, body)) {
            out += u'&';
            i = amp + 1;
            continue;
        }
        i = semicolon + 1;
    }
    return out;
}

// Builds the element index of one document and records diagnostics.
class XmlCursor::Parser {
public:
    Parser(XmlCursor& doc, std::u16string_view text) : m_doc(doc), m_text(text) {}

    void run()
    {
        if (m_text.empty()) {
            diagnose("Empty document");
            return;
        }
        while (m_pos < m_text.size()) {
            const auto lt = m_text.find(u'<', m_pos);
            const std::size_t stop = lt == std::u16string_view::npos ? m_text.size() : lt;
            appendText(m_text.substr(m_pos, stop - m_pos), true);
            m_pos = stop;
            if (m_pos >= m_text.size())
                break;
            markup();
        }
        for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
            diagnose(format("Element '%s' at offset %d not ended", m_doc.m_elements[it->element].name, it->offset));
        if (m_doc.m_topLevel.empty())
            diagnose("No root element");
        for (auto& element : m_doc.m_elements) {
            if (element.children.empty())
                continue;
            element.data.clear();
            for (auto& piece : element.between)
                piece.text = std::u16string(trimBlanks(piece.text));
            std::erase_if(element.between, [](const TextBetween& piece) { return piece.text.empty(); });
        }
        if (m_prologEnd > 0 && m_text.substr(0, m_prologEnd).find(u'<') != std::u16string_view::npos)
            m_doc.m_prolog = std::u16string(m_text.substr(0, m_prologEnd));
    }

private:
    struct Open {
        int element;
        std::size_t offset;
    };

    void diagnose(std::string message) { m_doc.m_diagnostics.push_back(std::move(message)); }
    void incorrect(const char* what, std::size_t offset)
    {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "Incorrect %s at offset %d", what, static_cast<int>(offset));
        diagnose(buffer);
    }

    void appendText(std::u16string_view raw, bool escaped)
    {
        if (m_open.empty() || raw.empty())
            return;
        auto& element = m_doc.m_elements[static_cast<std::size_t>(m_open.back().element)];
        std::u16string* target = &element.data;
        if (!element.children.empty()) {
            // Text beside child elements is kept apart, so that a reader
            // can still find it; blanks there are only layout.
            auto& between = element.between;
            const bool continues = !between.empty() && between.back().before == element.children.size();
            if (!continues && isBlank(raw))
                return;
            if (!continues)
                between.push_back({element.children.size(), {}});
            target = &between.back().text;
        }
        if (escaped)
            *target += unescapeXml(raw);
        else
            *target += raw;
    }

    // Moves past the next '>' (or to the end).
    void skipPastClose(std::size_t from)
    {
        const auto gt = m_text.find(u'>', from);
        m_pos = gt == std::u16string_view::npos ? m_text.size() : gt + 1;
    }

    // Moves past terminator, or reports what and moves to the end.
    void skipPast(std::u16string_view terminator, std::size_t from, const char* what)
    {
        const auto end = m_text.find(terminator, from);
        if (end == std::u16string_view::npos) {
            incorrect(what, m_pos);
            m_pos = m_text.size();
        } else {
            m_pos = end + terminator.size();
        }
    }

    std::u16string_view name(std::size_t& at) const
    {
        const std::size_t start = at;
        if (at >= m_text.size() || !isXmlNameStart(m_text[at]))
            return {};
        while (at < m_text.size() && isXmlNameChar(m_text[at]))
            ++at;
        return m_text.substr(start, at - start);
    }

    void skipSpaces(std::size_t& at) const
    {
        while (at < m_text.size() && isXmlSpace(m_text[at]))
            ++at;
    }

    void markup()
    {
        const std::size_t start = m_pos;
        const char16_t next = start + 1 < m_text.size() ? m_text[start + 1] : u'\0';
        if (next == u'?') {
            skipPast(u"?>", start + 2, "Processing instruction");
        } else if (next == u'!') {
            declaration(start);
        } else if (next == u'/') {
            endTag(start);
        } else if (isXmlNameStart(next)) {
            startTag(start);
        } else {
            incorrect("tag name character", start + 1);
            appendText(u"<", false);
            m_pos = start + 1;
        }
    }

    void declaration(std::size_t start)
    {
        if (startsWith(m_text, start, u"<!--")) {
            skipPast(u"-->", start + 4, "Comment");
        } else if (startsWith(m_text, start, u"<!-")) {
            incorrect("comment tag", start);
            skipPastClose(start);
        } else if (startsWith(m_text, start, u"<![CDATA[")) {
            const std::size_t content = start + 9;
            const auto end = m_text.find(u"]]>", content);
            if (end == std::u16string_view::npos) {
                // Unterminated: the rest is kept as text, without the end
                // tags that close the document after it.
                incorrect("CDATA Section", start);
                appendText(withoutTrailingEndTags(m_text.substr(content)), false);
                m_pos = m_text.size();
                return;
            }
            appendText(m_text.substr(content, end - content), false);
            m_pos = end + 3;
        } else if (startsWith(m_text, start, u"<!DOCTYPE")) {
            int depth = 0;
            for (std::size_t i = start + 9; i < m_text.size(); ++i) {
                if (m_text[i] == u'[')
                    ++depth;
                else if (m_text[i] == u']')
                    --depth;
                else if (m_text[i] == u'>' && depth <= 0) {
                    m_pos = i + 1;
                    return;
                }
            }
            incorrect("Doctype", start);
            m_pos = m_text.size();
        } else {
            incorrect("! tag", start);
            skipPastClose(start);
        }
    }

    void endTag(std::size_t start)
    {
        std::size_t at = start + 2;
        const std::u16string_view tag = name(at);
        skipSpaces(at);
        if (tag.empty() || at >= m_text.size() || m_text[at] != u'>') {
            incorrect("Element end tag", start);
            skipPastClose(start);
            return;
        }
        m_pos = at + 1;
        if (m_open.empty()) {
            diagnose(format("No start tag for end tag '%s' at offset %d", tag, static_cast<TextPos>(start)));
            return;
        }
        std::size_t match = m_open.size();
        for (std::size_t i = m_open.size(); i-- > 0;) {
            if (m_doc.m_elements[m_open[i].element].name == tag) {
                match = i;
                break;
            }
        }
        if (match == m_open.size()) {
            const Open& top = m_open.back();
            char buffer[600];
            const std::string endName = utf16::toUtf8(tag.substr(0, 200));
            const std::string startName = utf16::toUtf8(std::u16string_view(m_doc.m_elements[top.element].name).substr(0, 200));
            std::snprintf(buffer, sizeof buffer, "End tag '%s' at offset %d does not match start tag '%s' at offset %d",
                          endName.c_str(), static_cast<int>(start), startName.c_str(), static_cast<int>(top.offset));
            diagnose(buffer);
            return;
        }
        while (m_open.size() > match + 1) {
            const Open& inner = m_open.back();
            diagnose(format("Element '%s' at offset %d not ended", m_doc.m_elements[inner.element].name,
                            static_cast<TextPos>(inner.offset)));
            m_open.pop_back();
        }
        m_open.pop_back();
    }

    void startTag(std::size_t start)
    {
        std::size_t at = start + 1;
        Element element;
        element.name = std::u16string(name(at));
        for (;;) {
            const std::size_t beforeSpace = at;
            skipSpaces(at);
            if (at >= m_text.size())
                break;
            const char16_t c = m_text[at];
            if (c == u'>' || (c == u'/' && at + 1 < m_text.size() && m_text[at + 1] == u'>')) {
                const bool empty = c == u'/';
                m_pos = at + (empty ? 2 : 1);
                addElement(std::move(element), start, empty);
                return;
            }
            if (at == beforeSpace || !isXmlNameStart(c))
                break;
            const std::u16string_view attributeName = name(at);
            skipSpaces(at);
            if (at >= m_text.size() || m_text[at] != u'=')
                break;
            ++at;
            skipSpaces(at);
            if (at >= m_text.size() || (m_text[at] != u'"' && m_text[at] != u'\''))
                break;
            const auto close = m_text.find(m_text[at], at + 1);
            if (close == std::u16string_view::npos)
                break;
            const bool duplicate = std::any_of(element.attributes.begin(), element.attributes.end(),
                                               [&](const Attribute& a) { return a.name == attributeName; });
            if (!duplicate)
                element.attributes.push_back({std::u16string(attributeName), unescapeXml(m_text.substr(at + 1, close - at - 1))});
            at = close + 1;
        }
        incorrect("Element tag", start);
        skipPastClose(start);
    }

    void addElement(Element element, std::size_t offset, bool empty)
    {
        const int index = static_cast<int>(m_doc.m_elements.size());
        if (m_open.empty()) {
            if (m_doc.m_topLevel.empty())
                m_prologEnd = offset;
            else if (!m_reportedSibling) {
                diagnose("Root element has sibling");
                m_reportedSibling = true;
            }
            m_doc.m_topLevel.push_back(index);
        } else {
            element.parent = m_open.back().element;
            auto& parent = m_doc.m_elements[static_cast<std::size_t>(element.parent)];
            if (parent.children.empty() && !isBlank(parent.data))
                parent.between.push_back({0, std::move(parent.data)});
            parent.children.push_back(index);
        }
        m_doc.m_elements.push_back(std::move(element));
        if (!empty)
            m_open.push_back({index, offset});
    }

    XmlCursor& m_doc;
    std::u16string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_prologEnd = 0;
    bool m_reportedSibling = false;
    std::vector<Open> m_open;
};

bool XmlCursor::setDocument(std::u16string_view text)
{
    m_elements.clear();
    m_topLevel.clear();
    m_prolog.clear();
    m_diagnostics.clear();
    m_parent = -1;
    m_current = -1;
    m_position = -1;
    m_positions.clear();
    Parser(*this, text).run();
    return m_diagnostics.empty();
}

const std::vector<int>& XmlCursor::level() const
{
    return m_parent < 0 ? m_topLevel : m_elements[static_cast<std::size_t>(m_parent)].children;
}

std::vector<int>& XmlCursor::level()
{
    return m_parent < 0 ? m_topLevel : m_elements[static_cast<std::size_t>(m_parent)].children;
}

int XmlCursor::childPosition() const
{
    return m_current < 0 ? -1 : m_position;
}

bool XmlCursor::findElement(std::u16string_view name)
{
    const auto& siblings = level();
    for (auto i = static_cast<std::size_t>(childPosition() + 1); i < siblings.size(); ++i) {
        const int candidate = siblings[i];
        if (name.empty() || m_elements[static_cast<std::size_t>(candidate)].name == name) {
            m_current = candidate;
            m_position = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

bool XmlCursor::intoElement()
{
    if (m_current < 0)
        return false;
    m_parent = m_current;
    m_positions.push_back(m_position);
    m_current = -1;
    m_position = -1;
    return true;
}

bool XmlCursor::outOfElement()
{
    if (m_parent < 0)
        return false;
    m_current = m_parent;
    m_parent = m_elements[static_cast<std::size_t>(m_parent)].parent;
    m_position = m_positions.empty() ? 0 : m_positions.back();
    if (!m_positions.empty())
        m_positions.pop_back();
    return true;
}

void XmlCursor::resetPosition()
{
    m_current = -1;
    m_position = -1;
}

std::u16string XmlCursor::elementName() const
{
    return m_current < 0 ? std::u16string() : m_elements[static_cast<std::size_t>(m_current)].name;
}

std::u16string XmlCursor::attribute(std::u16string_view name) const
{
    if (m_current < 0)
        return {};
    for (const auto& a : m_elements[static_cast<std::size_t>(m_current)].attributes) {
        if (a.name == name)
            return a.value;
    }
    return {};
}

bool XmlCursor::hasAttribute(std::u16string_view name) const
{
    if (m_current < 0)
        return false;
    const auto& attributes = m_elements[static_cast<std::size_t>(m_current)].attributes;
    return std::any_of(attributes.begin(), attributes.end(), [&](const Attribute& a) { return a.name == name; });
}

std::u16string XmlCursor::data() const
{
    return m_current < 0 ? std::u16string() : m_elements[static_cast<std::size_t>(m_current)].data;
}

std::vector<XmlCursor::Text> XmlCursor::texts() const
{
    std::vector<Text> out;
    if (m_current < 0)
        return out;
    // An explicit stack of (element, next child) so that any depth is safe.
    struct Step {
        int element;
        std::size_t nextChild;
        std::size_t nextBetween;
    };
    std::vector<Step> stack{{m_current, 0, 0}};
    int child = -1;  // the current element's child being walked
    while (!stack.empty()) {
        Step& step = stack.back();
        const Element& element = m_elements[static_cast<std::size_t>(step.element)];
        const int depth = static_cast<int>(stack.size()) - 1;
        if (element.children.empty()) {
            if (!element.data.empty())
                out.push_back({element.data, step.element, depth == 0 ? -1 : child, depth, false});
            stack.pop_back();
            continue;
        }
        while (step.nextBetween < element.between.size() && element.between[step.nextBetween].before <= step.nextChild) {
            out.push_back({element.between[step.nextBetween].text, step.element, depth == 0 ? -1 : child, depth, true});
            ++step.nextBetween;
        }
        if (step.nextChild < element.children.size()) {
            if (depth == 0)
                child = static_cast<int>(step.nextChild);
            const int next = element.children[step.nextChild++];
            stack.push_back({next, 0, 0});
            continue;
        }
        stack.pop_back();
    }
    return out;
}

std::u16string_view XmlCursor::nameOf(int element) const
{
    return element < 0 ? std::u16string_view() : std::u16string_view(m_elements[static_cast<std::size_t>(element)].name);
}

bool XmlCursor::holdsOwnText() const
{
    if (m_current < 0)
        return false;
    const Element& element = m_elements[static_cast<std::size_t>(m_current)];
    return element.children.empty() ? !isBlank(element.data) : !element.between.empty();
}

std::u16string XmlCursor::attributeOf(int element, std::u16string_view name) const
{
    if (element < 0)
        return {};
    for (const auto& a : m_elements[static_cast<std::size_t>(element)].attributes) {
        if (a.name == name)
            return a.value;
    }
    return {};
}

bool XmlCursor::writesBackWhole() const
{
    return m_diagnostics.empty() &&
           std::none_of(m_elements.begin(), m_elements.end(), [](const Element& e) { return !e.between.empty(); });
}

bool XmlCursor::addElement(std::u16string_view name, std::u16string_view data)
{
    if (name.empty() || (m_parent < 0 && !m_topLevel.empty()))
        return false;
    if (m_parent >= 0) {
        // Blanks read between tags ("<Body>\r\n</Body>") are layout, not text.
        auto& parentData = m_elements[static_cast<std::size_t>(m_parent)].data;
        if (!isBlank(parentData))
            return false;
        parentData.clear();
    }
    const int index = static_cast<int>(m_elements.size());
    Element element;
    element.name = std::u16string(name);
    element.data = std::u16string(data);
    element.parent = m_parent;
    const int position = childPosition();
    m_elements.push_back(std::move(element));
    auto& siblings = level();
    if (position < 0) {
        siblings.push_back(index);
        m_position = static_cast<int>(siblings.size()) - 1;
    } else {
        siblings.insert(siblings.begin() + position + 1, index);
        m_position = position + 1;
    }
    m_current = index;
    return true;
}

bool XmlCursor::setAttribute(std::u16string_view name, std::u16string_view value)
{
    if (m_current < 0 || name.empty())
        return false;
    auto& attributes = m_elements[static_cast<std::size_t>(m_current)].attributes;
    for (auto& a : attributes) {
        if (a.name == name) {
            a.value = std::u16string(value);
            return true;
        }
    }
    attributes.push_back({std::u16string(name), std::u16string(value)});
    return true;
}

bool XmlCursor::setAttribute(std::u16string_view name, long long value)
{
    return setAttribute(name, utf16::number(value));
}

bool XmlCursor::setData(std::u16string_view text, DataForm form)
{
    if (m_current < 0)
        return false;
    auto& element = m_elements[static_cast<std::size_t>(m_current)];
    if (!element.children.empty())
        return false;
    element.data = std::u16string(text);
    element.form = form;
    return true;
}

void XmlCursor::write(std::u16string& out, int root) const
{
    // Iterative so that a deeply nested document cannot exhaust the stack.
    std::vector<std::pair<int, std::size_t>> stack{{root, 0}};
    while (!stack.empty()) {
        auto& [index, nextChild] = stack.back();
        const Element& element = m_elements[static_cast<std::size_t>(index)];
        if (nextChild == 0) {
            out += u'<';
            out += element.name;
            for (const auto& a : element.attributes) {
                out += u' ';
                out += a.name;
                out += u"=\"";
                appendEscaped(out, a.value, true);
                out += u'"';
            }
            if (element.children.empty()) {
                if (element.data.empty()) {
                    out += element.attributes.empty() ? u"/>" : u" />";
                } else {
                    out += u'>';
                    if (element.form == DataForm::Cdata) {
                        out += u"<![CDATA[";
                        out += utf16::replaceAll(element.data, u"]]>", u"]]]]><![CDATA[>");
                        out += u"]]>";
                    } else {
                        appendEscaped(out, element.data, false);
                    }
                    out += u"</";
                    out += element.name;
                    out += u'>';
                }
                out += kCrLf;
                stack.pop_back();
                continue;
            }
            out += u'>';
            out += kCrLf;
        }
        if (nextChild < element.children.size()) {
            const int child = element.children[nextChild++];
            stack.emplace_back(child, 0);
            continue;
        }
        out += u"</";
        out += element.name;
        out += u'>';
        out += kCrLf;
        stack.pop_back();
    }
}

std::u16string XmlCursor::document() const
{
    std::u16string out = m_prolog;
    out.reserve(m_elements.size() * 32);
    if (!out.empty() && out.back() != u'\n')
        out += kCrLf;
    for (const int index : m_topLevel)
        write(out, index);
    return out;
}

}  // namespace veyla::library
