// SPDX-License-Identifier: MIT
#include "core/library/library_edit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdio.h>

#include <cerrno>
#include <cstring>

#include "core/library/chapter_file.h"
#include "core/library/library_folder.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::library {

namespace fs = std::filesystem;

namespace {

Error systemError(ErrorCode code, const fs::path& path, int error)
{
    return Error{code, path.string() + ": " + std::strerror(error)};
}

// The checks every new item path passes: a valid name in an existing folder.
Status checkNewItem(const fs::path& path)
{
    if (Status valid = checkItemName(pathText(path.filename())); !valid)
        return valid;
    std::error_code ec;
    if (!fs::is_directory(path.parent_path(), ec))
        return Error{ErrorCode::FileUnavailable, path.parent_path().string() + ": no such folder"};
    if (fs::exists(fs::symlink_status(path, ec)))
        return Error{ErrorCode::AlreadyExists, path.string()};
    return {};
}

}  // namespace

Status checkItemName(std::u16string_view name)
{
    if (name.empty() || name == u"." || name == u"..")
        return Error{ErrorCode::InvalidArgument, "an item name cannot be empty, \".\" or \"..\""};
    if (name.find(u'/') != std::u16string_view::npos || name.find(u'\0') != std::u16string_view::npos)
        return Error{ErrorCode::InvalidArgument, "an item name cannot hold \"/\""};
    if (utf16::toUtf8(name).size() > kMaxFileNameBytes)
        return Error{ErrorCode::InvalidArgument,
                     "an item name cannot be longer than " + std::to_string(kMaxFileNameBytes) + " bytes"};
    return {};
}

Result<fs::path> renameItem(const fs::path& from, std::u16string_view newName)
{
    if (Status valid = checkItemName(newName); !valid)
        return valid.error();
    const fs::path to = from.parent_path() / pathFromText(newName);
    if (to == from)
        return to;
    // RENAME_NOREPLACE makes the check and the rename one step.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return to;
    if (errno == EEXIST)
        return Error{ErrorCode::AlreadyExists, to.string()};
    if (errno != EINVAL && errno != ENOSYS)
        return systemError(ErrorCode::WriteFailed, from, errno);
    // File systems without RENAME_NOREPLACE: check, then rename.
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec)))
        return Error{ErrorCode::AlreadyExists, to.string()};
    if (::rename(from.c_str(), to.c_str()) != 0)
        return systemError(ErrorCode::WriteFailed, from, errno);
    return to;
}

Status createEmptyChapter(const fs::path& path)
{
    if (Status allowed = checkNewItem(path); !allowed)
        return allowed;
    Chapter empty;
    return platform::writeFileAtomically(path, chapterBytes(chapterToXml(empty, {})));
}

Status createFolder(const fs::path& path)
{
    if (Status allowed = checkNewItem(path); !allowed)
        return allowed;
    if (::mkdir(path.c_str(), 0777) != 0)
        return systemError(errno == EEXIST ? ErrorCode::AlreadyExists : ErrorCode::WriteFailed, path, errno);
    return {};
}

Result<fs::path> deleteItem(const fs::path& path, const platform::TrashLocations& trash)
{
    return platform::moveToTrash(path, trash);
}

}  // namespace veyla::library
