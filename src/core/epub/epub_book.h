// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/epub/package_documents.h"
#include "core/epub/zip_archive.h"
#include "core/util/result.h"

namespace veyla::epub {

// One table-of-contents point of the book, in document order (a point, then
// its children).
struct CatalogEntry {
    std::string title;  // UTF-8, whitespace collapsed
    int level = 1;      // 1 for points directly under the navigation map
    std::string playOrder;
    std::string id;
    std::string sourceFile;  // archive path of the point's file; empty when it has none
    std::string anchor;      // the part of "src" after '#'
    bool hasChildren = false;
};

// An EPUB read from memory: container, package document and NCX
// navigation document. Nothing is unpacked to disk; content files are read
// from the archive on request. A hostile entry makes only that entry
// unreadable (and is listed in warnings()).
class EpubBook {
public:
    // MalformedBook when the container, its rootfile or full-path, the
    // package document or the catalog is missing or empty; CorruptArchive,
    // TooLarge or FileUnavailable from the archive.
    static Result<EpubBook> open(std::string bytes);
    static Result<EpubBook> openFile(const std::filesystem::path& path);
    static Result<EpubBook> fromArchive(ZipArchive archive);

    // Number of catalog entries (at least 1 in an open book).
    int count() const { return static_cast<int>(m_catalog.size()); }
    const CatalogEntry& entry(int i) const { return m_catalog.at(static_cast<std::size_t>(i)); }
    const std::string& title(int i) const { return entry(i).title; }
    int level(int i) const { return entry(i).level; }
    bool hasChildren(int i) const { return entry(i).hasChildren; }
    const std::string& sourcePath(int i) const { return entry(i).sourceFile; }
    // The nearest preceding entry whose level is level(i) - 1; 0 when none qualifies.
    int parentIndex(int i) const { return m_parents.at(static_cast<std::size_t>(i)); }
    const std::vector<CatalogEntry>& catalog() const { return m_catalog; }

    // Archive paths of every XHTML or HTML manifest item in manifest order,
    // filled only when the catalog has fewer than 2 entries.
    const std::vector<std::string>& contentFiles() const { return m_contentFiles; }

    const std::string& packagePath() const { return m_packagePath; }
    const std::string& navigationPath() const { return m_navigationPath; }
    const PackageDocument& package() const { return m_package; }
    // Refused archive entries and other things the reader skipped.
    const std::vector<std::string>& warnings() const { return m_warnings; }

    // The bytes of a file of the book, by archive path.
    Result<std::string> readFile(std::string_view archivePath);

private:
    explicit EpubBook(ZipArchive archive) : m_archive(std::move(archive)) {}
    Status readPackage();
    Status readCatalog();
    std::string locateNavigation() const;
    std::string resolveSource(std::string_view src) const;
    void fillContentFiles();

    ZipArchive m_archive;
    std::string m_packagePath;
    std::string m_navigationPath;
    PackageDocument m_package;
    std::vector<CatalogEntry> m_catalog;
    std::vector<int> m_parents;
    std::vector<std::string> m_contentFiles;
    std::vector<std::string> m_warnings;
};

}  // namespace veyla::epub
