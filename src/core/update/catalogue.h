// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/app_folders.h"
#include "core/platform/http_transport.h"
#include "core/update/file_download.h"
#include "core/util/result.h"

namespace veyla::update {

inline constexpr std::u16string_view kNetDiskEntry = u"从网盘进行下载";
inline constexpr std::u16string_view kEmptyCatalogue = u"No updates found\nGeneric Application is up to date";

// The catalogue list file of "书海拾遗" (GBK, or UTF-8):
//   line 1:  two fields separated by '-'
//   line 2:  the external download page's address, then '-' and anything
//   then:    KIND-NAME per line; kind 1 is always listed, kind 0 only when
//            the package is not in the download folder yet.
struct CatalogueList {
    std::u16string headerFirst;
    std::u16string headerSecond;
    std::u16string downloadPage;
    std::vector<std::u16string> names;  // the packages listed, in file order

    // The rows the window shows: "从网盘进行下载" then the names, or the one
    // row "No updates found\nGeneric Application is up to date".
    std::vector<std::u16string> rows() const;
};

// Lines that are blank, have no '-', a kind other than 0 and 1, or a name
// that is not a plain file name (a server cannot make the program write
// outside its folder) are skipped.
CatalogueList parseCatalogue(std::string_view bytes, const std::filesystem::path& downloadFolder);

// Whether a kind-0 package is already present in folder: its archive
// (the name with ".zip") or what it unpacked to (the name without ".zip").
bool packagePresent(std::u16string_view name, const std::filesystem::path& folder);

// Packages go to the program folder of a portable copy, else to the data folder.
std::filesystem::path catalogueFolder(const platform::AppFolders& folders);
// The local copy of the list: control/catalogue.txt in the data folder.
std::filesystem::path catalogueListFile(const platform::AppFolders& folders);

// Fetches the list from the site into its local copy (kept as it was when
// the fetch fails).
Status fetchCatalogue(platform::HttpTransport& transport, const std::string& site,
                      const platform::AppFolders& folders, const DownloadLimits& limits = {});

// Downloads the package NAME from the site's /down/ folder into folder; an
// archive (a name containing ".zip") is unpacked there with every check of
// extractArchive and then deleted. InvalidArgument for a name that is not
// a plain file name.
Status downloadPackage(platform::HttpTransport& transport, const std::string& site, std::u16string_view name,
                       const std::filesystem::path& folder, const DownloadLimits& limits = {},
                       const DownloadProgress& progress = {});

// %-escapes what a URL path segment cannot hold as it is.
std::string escapePathSegment(std::string_view utf8);

}  // namespace veyla::update
