// SPDX-License-Identifier: MIT
#include "core/epub/package_documents.h"

#include <tinyxml2.h>

#include <memory>
#include <utility>

namespace veyla::epub {

namespace {

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

std::string_view localName(const XMLElement* element)
{
    std::string_view name = element->Name() == nullptr ? "" : element->Name();
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

const XMLElement* firstChild(const XMLElement* parent, std::string_view name)
{
    if (parent == nullptr)
        return nullptr;
    for (const XMLElement* child = parent->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        if (localName(child) == name)
            return child;
    }
    return nullptr;
}

const XMLElement* nextSibling(const XMLElement* element, std::string_view name)
{
    for (const XMLElement* next = element->NextSiblingElement(); next != nullptr; next = next->NextSiblingElement()) {
        if (localName(next) == name)
            return next;
    }
    return nullptr;
}

std::string attribute(const XMLElement* element, const char* name)
{
    const char* value = element == nullptr ? nullptr : element->Attribute(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string text(const XMLElement* element)
{
    const char* value = element == nullptr ? nullptr : element->GetText();
    return value == nullptr ? std::string() : std::string(value);
}

// Parses xml and returns its root element, or MalformedBook naming what.
Result<std::unique_ptr<XMLDocument>> parse(std::string_view xml, std::string_view what)
{
    if (xml.size() > kMaxDocumentBytes)
        return Error{ErrorCode::TooLarge, std::string(what) + ": over " + std::to_string(kMaxDocumentBytes) + " bytes"};
    auto document = std::make_unique<XMLDocument>(true, tinyxml2::COLLAPSE_WHITESPACE);
    if (document->Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS)
        return Error{ErrorCode::MalformedBook, std::string(what) + ": " + document->ErrorStr()};
    if (document->RootElement() == nullptr)
        return Error{ErrorCode::MalformedBook, std::string(what) + ": no root element"};
    return document;
}

}  // namespace

Result<std::string> parseContainer(std::string_view xml)
{
    auto document = parse(xml, "container");
    if (!document)
        return document.error();
    const XMLElement* rootfiles = firstChild((*document)->RootElement(), "rootfiles");
    if (rootfiles == nullptr)
        return Error{ErrorCode::MalformedBook, "container: no rootfiles"};
    const XMLElement* rootfile = firstChild(rootfiles, "rootfile");
    if (rootfile == nullptr)
        return Error{ErrorCode::MalformedBook, "container: no rootfile"};
    const char* fullPath = rootfile->Attribute("full-path");
    if (fullPath == nullptr || *fullPath == '\0')
        return Error{ErrorCode::MalformedBook, "container: no full-path"};
    return std::string(fullPath);
}

Result<PackageDocument> parsePackage(std::string_view xml)
{
    auto document = parse(xml, "package document");
    if (!document)
        return document.error();
    const XMLElement* root = (*document)->RootElement();
    PackageDocument package;
    if (const XMLElement* manifest = firstChild(root, "manifest")) {
        for (const XMLElement* item = firstChild(manifest, "item"); item != nullptr; item = nextSibling(item, "item"))
            package.manifest.push_back({attribute(item, "id"), attribute(item, "href"), attribute(item, "media-type")});
    }
    if (const XMLElement* spine = firstChild(root, "spine")) {
        package.tocId = attribute(spine, "toc");
        for (const XMLElement* ref = firstChild(spine, "itemref"); ref != nullptr; ref = nextSibling(ref, "itemref"))
            package.spine.push_back(attribute(ref, "idref"));
    }
    return package;
}

Result<std::vector<NavPoint>> parseNavMap(std::string_view xml)
{
    auto document = parse(xml, "navigation document");
    if (!document)
        return document.error();
    const XMLElement* navMap = firstChild((*document)->RootElement(), "navMap");
    std::vector<NavPoint> points;
    if (navMap == nullptr)
        return points;
    // Each level keeps the point whose turn is next among its siblings.
    std::vector<std::pair<const XMLElement*, int>> pending{{firstChild(navMap, "navPoint"), 1}};
    while (!pending.empty()) {
        auto& [element, level] = pending.back();
        if (element == nullptr) {
            pending.pop_back();
            continue;
        }
        const XMLElement* point = element;
        const int pointLevel = level;
        element = nextSibling(point, "navPoint");
        const XMLElement* firstNested = firstChild(point, "navPoint");
        points.push_back({text(firstChild(firstChild(point, "navLabel"), "text")), pointLevel,
                          attribute(point, "playOrder"), attribute(point, "id"),
                          attribute(firstChild(point, "content"), "src"), firstNested != nullptr});
        if (firstNested != nullptr)
            pending.emplace_back(firstNested, pointLevel + 1);
    }
    return points;
}

}  // namespace veyla::epub
