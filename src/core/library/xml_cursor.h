// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/util/utf16.h"

namespace veyla::library {

// How setData writes an element's text.
enum class DataForm { Escaped, Cdata };

// A small XML document with a current position, through which the program
// reads and writes its own XML files (chapters, colour schemes, presets).
//
// Parsing is tolerant: it indexes every element it can recognise and
// records a diagnostic for each problem instead of stopping at the first.
// Offsets in diagnostics count UTF-16 units of the parsed text.
//
// Writing puts every element on a line of its own, ends lines with CR LF,
// uses no indentation, closes an empty element with "/>" (" />" after
// attributes), escapes < & > in text and also ' " in attribute values.
class XmlCursor {
public:
    XmlCursor() = default;

    // Parses text, replacing the document. True when no diagnostic was recorded.
    bool setDocument(std::u16string_view text);
    const std::vector<std::string>& diagnostics() const { return m_diagnostics; }

    // Moves to the next element named name (any element when name is empty)
    // among the siblings at the current level, after the current element;
    // from the first sibling when there is no current element yet.
    bool findElement(std::u16string_view name = {});
    // Makes the current element's children the current level, with no current element.
    bool intoElement();
    // Returns to the parent level; the parent becomes the current element.
    bool outOfElement();
    // Forgets the current element at this level: the next find starts over.
    void resetPosition();

    std::u16string elementName() const;
    // The attribute's value with entities replaced; empty when absent.
    std::u16string attribute(std::u16string_view name) const;
    bool hasAttribute(std::u16string_view name) const;
    // The element's text with entities replaced; empty for an element with child elements.
    std::u16string data() const;

    // One stretch of text inside the current element (see texts()).
    struct Text {
        std::u16string_view text;  // valid while the document is unchanged
        int element = -1;          // the element holding the text, for nameOf and attributeOf
        int child = -1;            // the current element's child it lies in; -1 = in the current element itself
        int depth = 0;             // levels below the current element: 0 = its own text, 1 = a child's
        bool besideElements = false;  // lies between child elements rather than being an element's own text
    };
    // Every non-empty text inside the current element, in document order:
    // the data of each element without children, and each stretch of text
    // that is not only blanks between child elements. Any depth is walked
    // (without recursion).
    std::vector<Text> texts() const;
    std::u16string_view nameOf(int element) const;
    std::u16string attributeOf(int element, std::u16string_view name) const;
    // Whether the current element holds text itself: its data, or text between its child elements.
    bool holdsOwnText() const;
    // Whether document() gives back all the text parsed: no diagnostic was
    // recorded and no element holds text beside its child elements.
    bool writesBackWhole() const;

    // Adds an element after the current one at the current level (at the end
    // of the level when there is none) and makes it current. At the top level
    // only one element may exist.
    bool addElement(std::u16string_view name, std::u16string_view data = {});
    bool setAttribute(std::u16string_view name, std::u16string_view value);
    bool setAttribute(std::u16string_view name, long long value);
    // Sets the current element's text; refused for an element with children.
    bool setData(std::u16string_view text, DataForm form = DataForm::Escaped);

    // The whole document as text, written by the rules above.
    std::u16string document() const;

private:
    struct Attribute {
        std::u16string name;
        std::u16string value;
    };
    // Text found between the child elements of an element, before child number `before`.
    struct TextBetween {
        std::size_t before = 0;
        std::u16string text;
    };
    struct Element {
        std::u16string name;
        std::vector<Attribute> attributes;
        std::u16string data;
        DataForm form = DataForm::Escaped;
        std::vector<int> children;
        std::vector<TextBetween> between;  // read only; empty for an element without children
        int parent = -1;
    };
    class Parser;

    const std::vector<int>& level() const;
    std::vector<int>& level();
    int childPosition() const;
    void write(std::u16string& out, int index) const;

    std::vector<Element> m_elements;
    std::vector<int> m_topLevel;
    std::u16string m_prolog;
    std::vector<std::string> m_diagnostics;
    int m_parent = -1;   // element whose children form the current level; -1 = document
    int m_current = -1;  // current element at that level; -1 = none yet
    int m_position = -1;           // the current element's index among its siblings
    std::vector<int> m_positions;  // positions of the elements entered, outermost first
};

// The characters the parser takes as blanks between markup, and as the
// first and the following characters of element and attribute names.
inline bool isXmlSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
inline bool isXmlNameStart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x80;
}
inline bool isXmlNameChar(char16_t c)
{
    return isXmlNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// Escaping used when writing XML text and attribute values.
std::u16string escapeXmlText(std::u16string_view text);
// Appends text escaped as element data (as escapeXmlText) to out.
void appendEscapedXmlText(std::u16string& out, std::u16string_view text);
std::u16string escapeXmlAttribute(std::u16string_view text);
// Replaces the predefined entities and character references; anything else stays as written.
std::u16string unescapeXml(std::u16string_view text);

}  // namespace veyla::library
