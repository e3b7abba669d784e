// SPDX-License-Identifier: MIT
#include "core/update/catalogue.h"

#include "core/update/update_archive.h"
#include "core/update/update_site.h"
#include "core/util/code_page.h"
#include "core/util/utf16.h"

namespace veyla::update {

namespace fs = std::filesystem;

namespace {

std::u16string decodeList(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return utf16::fromUtf8(bytes.substr(3));
    if (utf16::isValidUtf8(bytes))
        return utf16::fromUtf8(bytes);
    return decodeCodePage(bytes);
}

std::vector<std::u16string_view> splitLines(std::u16string_view text)
{
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool plainFileName(std::u16string_view name)
{
    if (name.empty() || name == u"." || name == u"..")
        return false;
    for (char16_t c : name) {
        if (c == u'/' || c == u'\\' || c < 0x20)
            return false;
    }
    return utf16::toUtf8(name).size() <= 255;
}

bool endsWithZip(std::u16string_view name)
{
    return name.size() >= 4 && name.substr(name.size() - 4) == u".zip";
}

}  // namespace

std::vector<std::u16string> CatalogueList::rows() const
{
    if (names.empty())
        return {std::u16string(kEmptyCatalogue)};
    std::vector<std::u16string> shown{std::u16string(kNetDiskEntry)};
    shown.insert(shown.end(), names.begin(), names.end());
    return shown;
}

bool packagePresent(std::u16string_view name, const fs::path& folder)
{
    const std::u16string stem(endsWithZip(name) ? name.substr(0, name.size() - 4) : name);
    std::error_code ec;
    const fs::path archive = folder / utf16::toUtf8(stem + u".zip");
    const fs::path unpacked = folder / utf16::toUtf8(stem);
    return fs::exists(archive, ec) || (!stem.empty() && fs::exists(unpacked, ec));
}

CatalogueList parseCatalogue(std::string_view bytes, const fs::path& downloadFolder)
{
    CatalogueList list;
    const std::u16string text = decodeList(bytes);
    const auto lines = splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::u16string_view line = utf16::trim(lines[i], u" \t");
        const std::size_t dash = line.find(u'-');
        const std::u16string_view first = line.substr(0, dash);
        const std::u16string_view rest = dash == std::u16string_view::npos ? std::u16string_view() : line.substr(dash + 1);
        if (i == 0) {
            list.headerFirst = first;
            list.headerSecond = rest;
            continue;
        }
        if (i == 1) {
            list.downloadPage = utf16::trim(first, u" \t");
            continue;
        }
        if (dash == std::u16string_view::npos)
            continue;
        const std::u16string_view kind = utf16::trim(first, u" \t");
        const std::u16string_view name = utf16::trim(rest, u" \t");
        if (!plainFileName(name))
            continue;
        if (kind == u"1" || (kind == u"0" && !packagePresent(name, downloadFolder)))
            list.names.emplace_back(name);
    }
    return list;
}

fs::path catalogueFolder(const platform::AppFolders& folders)
{
    std::error_code ec;
    return fs::equivalent(folders.dataFolder, folders.programFolder, ec) ? folders.programFolder : folders.dataFolder;
}

fs::path catalogueListFile(const platform::AppFolders& folders)
{
    return folders.dataControl("catalogue.txt");
}

Status fetchCatalogue(platform::HttpTransport& transport, const std::string& site,
                      const platform::AppFolders& folders, const DownloadLimits& limits)
{
    if (site.empty())
        return Error{ErrorCode::InvalidArgument, "no site address is set"};
    return downloadFile(transport, siteUrl(site, kCataloguePath), catalogueListFile(folders), limits);
}

std::string escapePathSegment(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

Status downloadPackage(platform::HttpTransport& transport, const std::string& site, std::u16string_view name,
                       const fs::path& folder, const DownloadLimits& limits, const DownloadProgress& progress)
{
    if (site.empty())
        return Error{ErrorCode::InvalidArgument, "no site address is set"};
    if (!plainFileName(name))
        return Error{ErrorCode::InvalidArgument, "not a plain file name: " + utf16::toUtf8(name)};
    const std::string fileName = utf16::toUtf8(name);
    const fs::path target = folder / fileName;
    const std::string url = siteUrl(site, std::string(kDownFolderPath) + escapePathSegment(fileName));
    if (Status downloaded = downloadFile(transport, url, target, limits, progress); !downloaded)
        return downloaded;
    if (fileName.find(".zip") == std::string::npos)
        return {};
    Result<std::vector<std::string>> extracted = extractArchive(target, folder);
    std::error_code ec;
    fs::remove(target, ec);
    if (!extracted)
        return extracted.error();
    return {};
}

}  // namespace veyla::update
