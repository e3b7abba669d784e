// SPDX-License-Identifier: MIT
#include "core/epub/epub_book.h"

#include <initializer_list>

#include "core/epub/epub_path.h"

namespace veyla::epub {

namespace {

constexpr std::string_view kContainerPath = "META-INF/container.xml";
constexpr std::string_view kNcxMediaType = "application/x-dtbncx+xml";

bool isContentType(std::string_view mediaType)
{
    return mediaType == "application/xhtml+xml" || mediaType == "text/html";
}

Error malformed(std::string detail)
{
    return Error{ErrorCode::MalformedBook, std::move(detail)};
}

}  // namespace

Result<EpubBook> EpubBook::open(std::string bytes)
{
    auto archive = ZipArchive::open(std::move(bytes), RefusalPolicy::RefuseEntry);
    if (!archive)
        return archive.error();
    return fromArchive(std::move(archive).value());
}

Result<EpubBook> EpubBook::openFile(const std::filesystem::path& path)
{
    auto archive = ZipArchive::openFile(path, RefusalPolicy::RefuseEntry);
    if (!archive)
        return archive.error();
    return fromArchive(std::move(archive).value());
}

Result<EpubBook> EpubBook::fromArchive(ZipArchive archive)
{
    EpubBook book(std::move(archive));
    for (const ZipEntry& entry : book.m_archive.entries()) {
        if (entry.problem != EntryProblem::None)
            book.m_warnings.push_back("refused archive entry " + entry.rawName + ": " +
                                      std::string(entryProblemName(entry.problem)));
    }
    if (Status read = book.readPackage(); !read)
        return read.error();
    if (Status read = book.readCatalog(); !read)
        return read.error();
    if (book.m_catalog.size() < 2)
        book.fillContentFiles();
    return book;
}

Result<std::string> EpubBook::readFile(std::string_view archivePath)
{
    return m_archive.read(archivePath);
}

Status EpubBook::readPackage()
{
    auto container = m_archive.read(kContainerPath);
    if (!container) {
        if (container.code() == ErrorCode::FileUnavailable)
            return malformed("no META-INF/container.xml");
        return container.error();
    }
    auto fullPath = parseContainer(*container);
    if (!fullPath)
        return fullPath.error();
    m_packagePath = resolveArchivePath("", *fullPath);
    if (m_packagePath.empty())
        return malformed("container: full-path names no file inside the book");
    auto packageBytes = m_archive.read(m_packagePath);
    if (!packageBytes)
        return malformed("package document " + m_packagePath + ": " + packageBytes.error().detail);
    auto package = parsePackage(*packageBytes);
    if (!package)
        return package.error();
    m_package = std::move(package).value();
    return {};
}

// The manifest item named by the spine's "toc"; when that names nothing,
// the first NCX item of the manifest, which EPUB 3 books also carry.
std::string EpubBook::locateNavigation() const
{
    const ManifestItem* found = nullptr;
    if (!m_package.tocId.empty()) {
        for (const ManifestItem& item : m_package.manifest) {
            if (item.id == m_package.tocId) {
                found = &item;
                break;
            }
        }
    }
    if (found == nullptr) {
        for (const ManifestItem& item : m_package.manifest) {
            if (item.mediaType == kNcxMediaType) {
                found = &item;
                break;
            }
        }
    }
    if (found == nullptr || found->href.empty())
        return {};
    return resolveArchivePath(folderOf(m_packagePath), decodeUrlEscapes(found->href, PlusSign::Literal));
}

Status EpubBook::readCatalog()
{
    m_navigationPath = locateNavigation();
    if (m_navigationPath.empty())
        return malformed("no navigation document (spine toc or NCX manifest item)");
    auto navigation = m_archive.read(m_navigationPath);
    if (!navigation)
        return malformed("navigation document " + m_navigationPath + ": " + navigation.error().detail);
    auto points = parseNavMap(*navigation);
    if (!points)
        return malformed(points.error().detail);
    if (points->empty())
        return malformed("empty catalog");

    std::vector<int> lastAtLevel;
    for (NavPoint& point : *points) {
        CatalogEntry entry;
        entry.title = std::move(point.title);
        entry.level = point.level;
        entry.playOrder = std::move(point.playOrder);
        entry.id = std::move(point.id);
        entry.hasChildren = point.hasChildren;
        const std::size_t hash = point.src.find('#');
        entry.sourceFile = resolveSource(std::string_view(point.src).substr(0, hash));
        if (hash != std::string::npos)
            entry.anchor = point.src.substr(hash + 1);

        const auto level = static_cast<std::size_t>(entry.level);
        int parent = 0;
        if (level >= 2 && level - 1 < lastAtLevel.size() && lastAtLevel[level - 1] >= 0)
            parent = lastAtLevel[level - 1];
        if (lastAtLevel.size() <= level)
            lastAtLevel.resize(level + 1, -1);
        lastAtLevel[level] = static_cast<int>(m_catalog.size());
        m_parents.push_back(parent);
        m_catalog.push_back(std::move(entry));
    }
    return {};
}

// A point's file: "src" before '#', escapes ('+' and percent) decoded,
// resolved against the package document's folder. When no such entry
// exists, a literal '+' and the navigation document's own folder are tried
// before giving up on the first reading.
std::string EpubBook::resolveSource(std::string_view src) const
{
    if (src.empty())
        return {};
    const std::string packageFolder = folderOf(m_packagePath);
    const std::string navigationFolder = folderOf(m_navigationPath);
    const std::string spaced = decodeUrlEscapes(src, PlusSign::Space);
    const std::string literal = decodeUrlEscapes(src, PlusSign::Literal);
    const std::string first = resolveArchivePath(packageFolder, spaced);
    for (const std::string& candidate :
         {first, resolveArchivePath(packageFolder, literal), resolveArchivePath(navigationFolder, spaced),
          resolveArchivePath(navigationFolder, literal)}) {
        const ZipEntry* found = candidate.empty() ? nullptr : m_archive.find(candidate);
        if (found != nullptr && !found->isFolder)
            return candidate;
    }
    return first;
}

void EpubBook::fillContentFiles()
{
    const std::string packageFolder = folderOf(m_packagePath);
    for (const ManifestItem& item : m_package.manifest) {
        if (!isContentType(item.mediaType) || item.href.empty())
            continue;
        std::string path = resolveArchivePath(packageFolder, decodeUrlEscapes(item.href, PlusSign::Literal));
        if (path.empty() || m_archive.find(path) == nullptr) {
            const std::string raw = resolveArchivePath(packageFolder, item.href);
            if (!raw.empty() && m_archive.find(raw) != nullptr)
                path = raw;
        }
        if (path.empty())
            m_warnings.push_back("manifest item " + item.id + ": href names no file inside the book");
        else
            m_contentFiles.push_back(std::move(path));
    }
}

}  // namespace veyla::epub
