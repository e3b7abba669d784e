// SPDX-License-Identifier: MIT
#include "core/search/folder_identity.h"

#include <sys/stat.h>

namespace veyla::search {

std::optional<FolderIdentity> folderIdentity(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FolderIdentity{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

}  // namespace veyla::search
