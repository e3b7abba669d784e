// SPDX-License-Identifier: MIT
#include "core/library/library_edit.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <cstring>

#include "core/library/chapter_file.h"
#include "core/library/library_folder.h"
#include "core/platform/file_io.h"

namespace veyla::library {

namespace fs = std::filesystem;

namespace {

Error systemError(ErrorCode code, const fs::path& path, int error)
{
    return Error{code, path.string() + ": " + std::strerror(error)};
}

}  // namespace

Result<fs::path> renameItem(const fs::path& from, std::u16string_view newName)
{
    if (newName.empty() || newName.find(u'/') != std::u16string_view::npos || newName == u"." || newName == u"..")
        return Error{ErrorCode::InvalidArgument, "not a valid name"};
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
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec)))
        return Error{ErrorCode::AlreadyExists, path.string()};
    fs::create_directories(path.parent_path(), ec);
    Chapter empty;
    return platform::writeFileAtomically(path, chapterBytes(chapterToXml(empty, {})));
}

Status createFolder(const fs::path& path)
{
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec)))
        return Error{ErrorCode::AlreadyExists, path.string()};
    if (!fs::create_directories(path, ec))
        return Error{ErrorCode::WriteFailed, path.string() + ": " + ec.message()};
    return {};
}

Result<fs::path> deleteItem(const fs::path& path, const platform::TrashLocations& trash)
{
    return platform::moveToTrash(path, trash);
}

}  // namespace veyla::library
