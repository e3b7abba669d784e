// SPDX-License-Identifier: MIT
// Builds a well-formed archive around arbitrary documents, so that mutations
// reach the book reader and the import instead of failing CRC checks. The
// input is cut at each "\n--\n" into container, package document, NCX and
// two content files.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/epub/epub_import.h"
#include "test_zip.h"

using namespace veyla;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::array<const char*, 5> kNames{"META-INF/container.xml", "OEBPS/content.opf",
                                                       "OEBPS/toc.ncx", "OEBPS/a.html", "OEBPS/b b.html"};
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<test::TestZipEntry> entries;
    for (const char* name : kNames) {
        const std::size_t cut = rest.find("\n--\n");
        entries.push_back({.name = name, .data = std::string(rest.substr(0, cut)),
                           .method = test::TestZipEntry::Method::Stored});
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 4);
    }
    auto result = epub::readEpubForImport(test::buildZipEntries(entries), u"fuzz.epub");
    if (!result || result->mode != epub::EpubImportMode::Catalog)
        return 0;
    const auto& nodes = result->plan.nodes;
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        const int parent = nodes[i].parent;
        if (parent < 0 || static_cast<std::size_t>(parent) >= i ||
            nodes[static_cast<std::size_t>(parent)].kind != import::NodeKind::Folder)
            std::abort();
    }
    return 0;
}
