// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/epub/epub_book.h"
#include "core/import/import_plan.h"
#include "core/util/result.h"

namespace veyla::epub {

// Whether the import takes a path for an EPUB book: the path contains
// ".epub" (lower case only; "Book.EPUB" is not taken for one).
bool isEpubPath(const std::filesystem::path& path);

enum class EpubImportMode {
    WholeText,  // one catalog entry: the joined text is split by headings like a TXT novel
    Catalog,    // the book's own table of contents gives the nodes
};

struct WholeTextBook {
    std::u16string bookName;  // the EPUB path without a trailing ".epub" or ".EPUB"
    std::u16string text;      // the text of every content file, in manifest order
};

// What importing one EPUB will add, computed in memory; nothing is written.
struct EpubImport {
    EpubImportMode mode = EpubImportMode::Catalog;
    WholeTextBook wholeText;  // WholeText mode only
    // Catalog mode only: node 0 is the book folder (parent -1, the import
    // target), then one node per catalog entry in catalog order.
    import::ImportPlan plan;
    // Refused entries, unreadable content files; in Catalog mode also in plan.warnings.
    std::vector<std::string> warnings;
};

// The text an import may hold in memory, in UTF-16 units (256 MiB): entries
// that share one file each get the whole file, so a small archive could
// otherwise ask for unbounded memory.
inline constexpr std::size_t kMaxImportTextUnits = std::size_t{128} * 1024 * 1024;

// Opens the EPUB and decides the import. bookPath names the book (its file
// name without folder and extension names the book folder). Fails as
// EpubBook::open does, or TooLarge when the text is over kMaxImportTextUnits.
Result<EpubImport> readEpubForImport(const std::filesystem::path& path);
Result<EpubImport> readEpubForImport(std::string bytes, std::u16string_view bookPath);
Result<EpubImport> readEpubForImport(EpubBook& book, std::u16string_view bookPath,
                                     std::size_t maxTextUnits = kMaxImportTextUnits);

// The file-name form of a catalog title: '"', '*', '/', ':', '<', '>', '?',
// '\' and '|' deleted, control characters deleted, and cut at a character
// boundary after kMaxTitleBytes UTF-8 bytes, so that "%04d_" + title + ".xml"
// stays within the 255-byte limit of a file name.
inline constexpr std::size_t kMaxTitleBytes = 240;
std::u16string catalogTitleForFileName(std::string_view utf8Title);

}  // namespace veyla::epub
