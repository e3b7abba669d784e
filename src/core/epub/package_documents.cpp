// SPDX-License-Identifier: MIT
#include "core/epub/package_documents.h"

#include "core/library/xml_cursor.h"
#include "core/util/utf16.h"

namespace veyla::epub {

namespace {

using library::XmlCursor;

std::u16string_view localName(std::u16string_view name)
{
    const std::size_t colon = name.rfind(u':');
    return colon == std::u16string_view::npos ? name : name.substr(colon + 1);
}

// Moves to the next element at the cursor's level whose local name is name.
bool findNext(XmlCursor& cursor, std::u16string_view name)
{
    while (cursor.findElement()) {
        const std::u16string element = cursor.elementName();
        if (localName(element) == name)
            return true;
    }
    return false;
}

// Moves into the current element and to its first child named name. The
// cursor is inside the element afterwards either way: the caller leaves
// with outOfElement().
bool intoChild(XmlCursor& cursor, std::u16string_view name)
{
    return cursor.intoElement() && findNext(cursor, name);
}

std::string attribute(const XmlCursor& cursor, std::u16string_view name)
{
    return utf16::toUtf8(cursor.attribute(name));
}

// All the text inside the current element, runs of blanks made one space
// and blanks at both ends dropped. Pieces split by markup are joined by a
// space, so that "Chapter <i>One</i>" keeps its words apart.
std::string collapsedText(const XmlCursor& cursor)
{
    std::u16string out;
    bool blank = false;
    for (const XmlCursor::Text& piece : cursor.texts()) {
        blank = !out.empty();
        for (const char16_t c : piece.text) {
            if (library::isXmlSpace(c)) {
                blank = !out.empty();
                continue;
            }
            if (blank)
                out += u' ';
            blank = false;
            out += c;
        }
    }
    return utf16::toUtf8(out);
}

// Parses xml into cursor, positioned on the root element, or says why not.
Result<bool> parse(XmlCursor& cursor, std::string_view xml, std::string_view what)
{
    if (xml.size() > kMaxDocumentBytes)
        return Error{ErrorCode::TooLarge, std::string(what) + ": over " + std::to_string(kMaxDocumentBytes) + " bytes"};
    if (xml.starts_with("\xEF\xBB\xBF"))
        xml.remove_prefix(3);
    if (!cursor.setDocument(utf16::fromUtf8(xml))) {
        const std::string reason = cursor.diagnostics().empty() ? "not well-formed" : cursor.diagnostics().front();
        return Error{ErrorCode::MalformedBook, std::string(what) + ": " + reason};
    }
    if (!cursor.findElement())
        return Error{ErrorCode::MalformedBook, std::string(what) + ": no root element"};
    return true;
}

// The label of the navigation point the cursor is on, and its content's source.
void readPoint(XmlCursor& cursor, NavPoint& point)
{
    if (intoChild(cursor, u"navLabel")) {
        if (intoChild(cursor, u"text"))
            point.title = collapsedText(cursor);
        cursor.outOfElement();
    }
    cursor.outOfElement();
    if (intoChild(cursor, u"content"))
        point.src = attribute(cursor, u"src");
    cursor.outOfElement();
    point.hasChildren = intoChild(cursor, u"navPoint");
    cursor.outOfElement();
}

}  // namespace

Result<std::string> parseContainer(std::string_view xml)
{
    XmlCursor cursor;
    if (auto parsed = parse(cursor, xml, "container"); !parsed)
        return parsed.error();
    if (!intoChild(cursor, u"rootfiles"))
        return Error{ErrorCode::MalformedBook, "container: no rootfiles"};
    if (!intoChild(cursor, u"rootfile"))
        return Error{ErrorCode::MalformedBook, "container: no rootfile"};
    std::string fullPath = attribute(cursor, u"full-path");
    if (fullPath.empty())
        return Error{ErrorCode::MalformedBook, "container: no full-path"};
    return fullPath;
}

Result<PackageDocument> parsePackage(std::string_view xml)
{
    XmlCursor cursor;
    if (auto parsed = parse(cursor, xml, "package document"); !parsed)
        return parsed.error();
    PackageDocument package;
    if (intoChild(cursor, u"manifest")) {
        if (cursor.intoElement()) {
            while (findNext(cursor, u"item"))
                package.manifest.push_back(
                    {attribute(cursor, u"id"), attribute(cursor, u"href"), attribute(cursor, u"media-type")});
            cursor.outOfElement();
        }
    }
    cursor.outOfElement();
    if (intoChild(cursor, u"spine")) {
        package.tocId = attribute(cursor, u"toc");
        if (cursor.intoElement()) {
            while (findNext(cursor, u"itemref"))
                package.spine.push_back(attribute(cursor, u"idref"));
            cursor.outOfElement();
        }
    }
    return package;
}

Result<std::vector<NavPoint>> parseNavMap(std::string_view xml)
{
    XmlCursor cursor;
    if (auto parsed = parse(cursor, xml, "navigation document"); !parsed)
        return parsed.error();
    std::vector<NavPoint> points;
    if (!intoChild(cursor, u"navMap") || !cursor.intoElement())
        return points;
    // The cursor keeps the path down to the point being read; level counts
    // the navigation points on it. A point with children is entered right
    // after it is read, and each level is left when its points run out.
    int level = 1;
    while (level > 0) {
        if (!findNext(cursor, u"navPoint")) {
            cursor.outOfElement();
            --level;
            continue;
        }
        NavPoint point;
        point.level = level;
        point.playOrder = attribute(cursor, u"playOrder");
        point.id = attribute(cursor, u"id");
        readPoint(cursor, point);
        const bool nested = point.hasChildren;
        points.push_back(std::move(point));
        if (nested) {
            if (level >= kMaxNavLevels)
                return Error{ErrorCode::MalformedBook, "navigation document: navigation points nested deeper than " +
                                                           std::to_string(kMaxNavLevels) + " levels"};
            cursor.intoElement();
            ++level;
        }
    }
    return points;
}

}  // namespace veyla::epub
