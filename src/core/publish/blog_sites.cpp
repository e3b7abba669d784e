// SPDX-License-Identifier: MIT
#include "core/publish/blog_sites.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/platform/file_io.h"
#include "core/platform/ini_file.h"
#include "core/util/utf16.h"

namespace veyla::publish {
namespace {

constexpr std::u16string_view kListSection = u"Sites";

std::u16string siteSection(std::size_t index)
{
    return u"Site" + utf16::number(static_cast<long long>(index) + 1);
}

// Values are written in quotes so that blanks around a password survive
// (the profile format drops blanks around unquoted values).
std::u16string inQuotes(std::u16string_view value)
{
    return u"\"" + std::u16string(value) + u"\"";
}

std::string octal(unsigned mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
    return text;
}

}  // namespace

const BlogSite* BlogSiteList::find(std::u16string_view name) const
{
    for (const auto& site : sites)
        if (site.name == name)
            return &site;
    return nullptr;
}

std::filesystem::path blogSitesPath(const platform::AppFolders& folders)
{
    return folders.dataControl("blogSites.ini");
}

Result<BlogSiteList> loadBlogSites(const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return BlogSiteList{};
        return Error{ErrorCode::FileUnavailable, file.string() + ": " + std::strerror(errno)};
    }
    if ((info.st_mode & 077) != 0)
        return Error{ErrorCode::InvalidArgument,
                     file.string() + " holds passwords but has mode " + octal(info.st_mode) +
                         "; only its owner may read it (chmod 600 " + file.string() + ")"};
    auto bytes = platform::readWholeFile(file);
    if (!bytes)
        return bytes.error();
    const auto ini = platform::IniFile::fromBytes(*bytes);
    BlogSiteList list;
    const long long count = ini.integer(kListSection, u"Count", 0);
    for (long long i = 0; i < count && i < 1000; ++i) {
        const std::u16string section = siteSection(static_cast<std::size_t>(i));
        BlogSite site;
        site.type = ini.integer(section, u"Type", 0) == 1 ? BlogType::MetaWeblog : BlogType::WordPress;
        site.name = ini.value(section, u"Name");
        site.address = ini.value(section, u"Address");
        site.user = ini.value(section, u"User");
        site.password = ini.value(section, u"Password");
        site.acceptSelfSignedCertificate = ini.integer(section, u"SelfSigned", 0) == 1;
        list.sites.push_back(std::move(site));
    }
    const long long selected = ini.integer(kListSection, u"Selected", -1);
    list.selected = selected >= 0 && selected < static_cast<long long>(list.sites.size()) ? static_cast<int>(selected)
                                                                                          : -1;
    return list;
}

Status saveBlogSites(const std::filesystem::path& file, const BlogSiteList& list)
{
    platform::IniFile ini;
    ini.setInteger(kListSection, u"Count", static_cast<long long>(list.sites.size()));
    ini.setInteger(kListSection, u"Selected", list.selected);
    for (std::size_t i = 0; i < list.sites.size(); ++i) {
        const BlogSite& site = list.sites[i];
        const std::u16string section = siteSection(i);
        ini.setInteger(section, u"Type", static_cast<int>(site.type));
        ini.setValue(section, u"Name", inQuotes(site.name));
        ini.setValue(section, u"Address", inQuotes(site.address));
        ini.setValue(section, u"User", inQuotes(site.user));
        ini.setValue(section, u"Password", inQuotes(site.password));
        ini.setInteger(section, u"SelfSigned", site.acceptSelfSignedCertificate ? 1 : 0);
    }
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    return platform::writeFileAtomically(file, ini.toBytes(), platform::FileAccess::OwnerOnly);
}

}  // namespace veyla::publish
