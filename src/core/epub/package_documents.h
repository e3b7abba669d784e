// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"

namespace veyla::epub {

// The three XML documents that describe an EPUB, read with the program's
// own XML reader. Elements match by local name, so "opf:item" is an "item".
// Whitespace in text is collapsed and trimmed. A document that is not
// well-formed, or whose navigation points nest deeper than kMaxNavLevels,
// is MalformedBook.

// Documents larger than this are refused (a real package document or NCX is
// well under 1 MiB).
inline constexpr std::size_t kMaxDocumentBytes = 16 * 1024 * 1024;

// Navigation points nested deeper than this make the NCX malformed: each
// level becomes a folder, and real tables of contents have a few.
inline constexpr int kMaxNavLevels = 96;

// META-INF/container.xml: "full-path" of the first "rootfile" in "rootfiles".
Result<std::string> parseContainer(std::string_view xml);

struct ManifestItem {
    std::string id;
    std::string href;  // as written, escapes and all
    std::string mediaType;
};

struct PackageDocument {
    std::vector<ManifestItem> manifest;  // in document order
    std::string tocId;                   // the spine's "toc" attribute
    std::vector<std::string> spine;      // the "idref" of each "itemref"
};

// The package document: manifest items and spine.
Result<PackageDocument> parsePackage(std::string_view xml);

// One "navPoint" of the navigation map, in document order.
struct NavPoint {
    std::string title;      // first "navLabel", its first "text"
    int level = 1;          // 1 directly under "navMap", one more per nesting step
    std::string playOrder;  // the "playOrder" attribute as written
    std::string id;
    std::string src;        // "src" of the point's "content"; empty without one
    bool hasChildren = false;
};

// The NCX navigation document's "navMap", walked without recursion.
Result<std::vector<NavPoint>> parseNavMap(std::string_view xml);

}  // namespace veyla::epub
