// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veyla::update {

// The publisher's site: the setting [Update] Site of control/preSet.ini in
// the data folder, e.g. "https://veyla.example.org". Empty (the default)
// means the program never makes a network request for updates or the
// catalogue.
inline constexpr std::u16string_view kSiteSection = u"Update";
inline constexpr std::u16string_view kSiteKey = u"Site";

// The configured address without trailing slashes; empty when not set.
std::string readSiteSetting(const std::filesystem::path& preSetIni);

// site + path, path starting with '/'.
std::string siteUrl(std::string_view site, std::string_view path);

// The publisher's files on the site.
inline constexpr std::string_view kInfoPath = "/down/veyla.ini";
inline constexpr std::string_view kArchivePath = "/down/veyla.zip";
inline constexpr std::string_view kPageScriptPath = "/js/myVueCode.js";
inline constexpr std::string_view kCataloguePath = "/down/catalogue.txt";
inline constexpr std::string_view kDownFolderPath = "/down/";

}  // namespace veyla::update
