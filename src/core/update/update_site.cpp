// SPDX-License-Identifier: MIT
#include "core/update/update_site.h"

#include "core/platform/ini_file.h"
#include "core/util/utf16.h"

namespace veyla::update {

std::string readSiteSetting(const std::filesystem::path& preSetIni)
{
    const std::u16string value = platform::readProfileString(preSetIni, kSiteSection, kSiteKey, u"");
    std::string site = utf16::toUtf8(utf16::trim(value, u" \t"));
    while (!site.empty() && site.back() == '/')
        site.pop_back();
    return site;
}

std::string siteUrl(std::string_view site, std::string_view path)
{
    std::string url(site);
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    if (!path.starts_with('/'))
        url += '/';
    url += path;
    return url;
}

}  // namespace veyla::update
