// SPDX-License-Identifier: MIT
#include "core/epub/epub_import.h"

#include <cstdio>
#include <map>

#include "core/epub/xhtml_text.h"
#include "core/util/utf16.h"

namespace veyla::epub {

namespace {

using import::ImportPlan;
using import::NodeKind;
using import::PlannedNode;

constexpr std::u16string_view kRemovedFromTitles = u"\"*/:<>?\\|";

// "%04d_" of a counter.
std::u16string numberPrefix(int counter)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d_", counter);
    return utf16::fromUtf8(buffer);
}

// The file name without folder and extension; a leading dot is no extension.
std::u16string bookFolderName(std::u16string_view bookPath)
{
    const std::size_t slash = bookPath.rfind(u'/');
    std::u16string_view name = slash == std::u16string_view::npos ? bookPath : bookPath.substr(slash + 1);
    const std::size_t dot = name.rfind(u'.');
    if (dot != std::u16string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::u16string(name);
}

std::u16string withoutEpubSuffix(std::u16string_view bookPath)
{
    if (bookPath.ends_with(u".epub") || bookPath.ends_with(u".EPUB"))
        bookPath.remove_suffix(5);
    return std::u16string(bookPath);
}

// Extracted texts by archive path, so that entries sharing a file read it once,
// and the running total of text handed out.
class TextSource {
public:
    TextSource(EpubBook& book, std::vector<std::string>& warnings, std::size_t maxUnits)
        : m_book(book), m_warnings(warnings), m_maxUnits(maxUnits)
    {
    }

    // The text of one file; empty (with a warning) when it cannot be read.
    Result<std::u16string> textOf(const std::string& path, std::string_view user)
    {
        auto cached = m_texts.find(path);
        if (cached == m_texts.end()) {
            std::u16string text;
            if (path.empty()) {
                m_warnings.push_back(std::string(user) + ": no content file");
            } else if (auto bytes = m_book.readFile(path); !bytes) {
                m_warnings.push_back(std::string(user) + ": " + path + " unreadable: " + bytes.error().detail);
            } else {
                text = extractXhtmlText(*bytes);
            }
            cached = m_texts.emplace(path, std::move(text)).first;
        }
        m_total += cached->second.size();
        if (m_total > m_maxUnits)
            return Error{ErrorCode::TooLarge, "more than " + std::to_string(m_maxUnits) + " UTF-16 units of text"};
        return cached->second;
    }

private:
    EpubBook& m_book;
    std::vector<std::string>& m_warnings;
    std::map<std::string, std::u16string> m_texts;
    std::size_t m_maxUnits;
    std::size_t m_total = 0;
};

Status readWholeText(EpubBook& book, std::u16string_view bookPath, TextSource& source, EpubImport& result)
{
    result.mode = EpubImportMode::WholeText;
    result.wholeText.bookName = withoutEpubSuffix(bookPath);
    for (const std::string& path : book.contentFiles()) {
        auto text = source.textOf(path, "content file");
        if (!text)
            return text.error();
        result.wholeText.text += *text;
    }
    return {};
}

Status readCatalog(EpubBook& book, std::u16string_view bookPath, TextSource& source, EpubImport& result)
{
    result.mode = EpubImportMode::Catalog;
    ImportPlan& plan = result.plan;
    plan.style.source = import::HeadingSource::EpubCatalog;
    plan.nodes.push_back({NodeKind::Folder, bookFolderName(bookPath), -1, {}, 0, {}, 0});
    int chapters = 0;
    int folders = 0;
    for (int i = 0; i < book.count(); ++i) {
        PlannedNode node;
        node.kind = book.hasChildren(i) ? NodeKind::Folder : NodeKind::Chapter;
        const std::u16string title = catalogTitleForFileName(book.title(i));
        node.title = utf16::fromUtf8(book.title(i));
        if (node.kind == NodeKind::Folder) {
            node.name = numberPrefix(folders++) + title;
        } else {
            node.name = numberPrefix(chapters++) + title + u".xml";
            auto text = source.textOf(book.sourcePath(i), "catalog entry " + std::to_string(i));
            if (!text)
                return text.error();
            plan.texts.push_back(std::make_shared<const std::u16string>(std::move(text).value()));
            node.text = *plan.texts.back();
        }
        // Node k + 1 belongs to catalog entry k; node 0 is the book.
        node.parent = book.level(i) > 1 ? book.parentIndex(i) + 1 : 0;
        plan.nodes.push_back(std::move(node));
    }
    plan.warnings = result.warnings;
    return {};
}

}  // namespace

bool isEpubPath(const std::filesystem::path& path)
{
    return path.native().find(".epub") != std::string::npos;
}

std::u16string catalogTitleForFileName(std::string_view utf8Title)
{
    const std::u16string title = utf16::fromUtf8(utf8Title);
    std::u16string out;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < title.size(); ++i) {
        const char16_t c = title[i];
        if (c < 0x20 || c == 0x7F || kRemovedFromTitles.find(c) != std::u16string_view::npos)
            continue;
        const bool pair = utf16::isHighSurrogate(c) && i + 1 < title.size() && utf16::isLowSurrogate(title[i + 1]);
        const std::size_t width = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + width > kMaxTitleBytes)
            break;
        bytes += width;
        out += c;
        if (pair)
            out += title[++i];
    }
    return out;
}

Result<EpubImport> readEpubForImport(EpubBook& book, std::u16string_view bookPath, std::size_t maxTextUnits)
{
    EpubImport result;
    result.warnings = book.warnings();
    TextSource source(book, result.warnings, maxTextUnits);
    const bool wholeText = book.count() == 1 && !book.contentFiles().empty();
    Status read = wholeText ? readWholeText(book, bookPath, source, result)
                            : readCatalog(book, bookPath, source, result);
    if (!read)
        return read.error();
    return result;
}

Result<EpubImport> readEpubForImport(std::string bytes, std::u16string_view bookPath)
{
    auto book = EpubBook::open(std::move(bytes));
    if (!book)
        return book.error();
    return readEpubForImport(*book, bookPath);
}

Result<EpubImport> readEpubForImport(const std::filesystem::path& path)
{
    auto book = EpubBook::openFile(path);
    if (!book)
        return book.error();
    return readEpubForImport(*book, utf16::fromUtf8(path.string()));
}

}  // namespace veyla::epub
