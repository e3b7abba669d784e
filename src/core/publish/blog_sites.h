// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/app_folders.h"
#include "core/util/result.h"

namespace veyla::publish {

enum class BlogType { WordPress = 0, MetaWeblog = 1 };

// One blog the reader publishes to, as entered in the settings.
struct BlogSite {
    BlogType type = BlogType::WordPress;
    std::u16string name;      // shown in the site list
    std::u16string address;   // as typed
    std::u16string user;
    std::u16string password;
    // Off by default: accept an HTTPS certificate no known authority signed.
    bool acceptSelfSignedCertificate = false;
};

struct BlogSiteList {
    std::vector<BlogSite> sites;
    int selected = -1;  // index into sites, -1 for none

    // The site with this name, or nullptr.
    const BlogSite* find(std::u16string_view name) const;
};

// control/blogSites.ini of the data folder, beside the settings.
std::filesystem::path blogSitesPath(const platform::AppFolders& folders);

// Reads the site list. A missing file is an empty list. The file holds
// passwords, so one that others may read or write (any group or other
// permission bit) is refused with InvalidArgument naming the file.
Result<BlogSiteList> loadBlogSites(const std::filesystem::path& file);

// Writes the list atomically with mode 0600 (whatever the old file's mode).
Status saveBlogSites(const std::filesystem::path& file, const BlogSiteList& list);

}  // namespace veyla::publish
