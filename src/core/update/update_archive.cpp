// SPDX-License-Identifier: MIT
#include "core/update/update_archive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/platform/file_io.h"
#include "core/util/code_page.h"
#include "core/util/utf16.h"

namespace veyla::update {

namespace fs = std::filesystem;

namespace {

// Entry names without the UTF-8 flag come in the ANSI code page of the
// systems that made them; names that are valid UTF-8 are taken as such.
std::string entryPathName(const std::string& name)
{
    if (utf16::isValidUtf8(name))
        return name;
    return utf16::toUtf8(decodeCodePage(name));
}

std::string systemError(int error)
{
    return std::strerror(error);
}

// A folder that is removed with everything in it unless released.
class StagingFolder {
public:
    static Result<StagingFolder> create(const fs::path& parent)
    {
        std::string pattern = (parent / ".veyla-update-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            return Error{ErrorCode::WriteFailed, parent.string() + ": " + systemError(errno)};
        return StagingFolder(pattern);
    }
    StagingFolder(StagingFolder&& other) noexcept : m_path(std::exchange(other.m_path, {})) {}
    StagingFolder& operator=(StagingFolder&&) = delete;
    ~StagingFolder()
    {
        std::error_code ec;
        if (!m_path.empty())
            fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    explicit StagingFolder(fs::path path) : m_path(std::move(path)) {}
    fs::path m_path;
};

// What moving the staged files into place changed, so it can be undone.
struct Placement {
    std::vector<fs::path> createdFolders;
    std::vector<std::pair<fs::path, fs::path>> keptAside;  // (original place, where it was kept)
    std::vector<fs::path> placed;

    void undo()
    {
        std::error_code ec;
        for (auto it = placed.rbegin(); it != placed.rend(); ++it)
            fs::remove(*it, ec);
        for (auto it = keptAside.rbegin(); it != keptAside.rend(); ++it)
            fs::rename(it->second, it->first, ec);
        for (auto it = createdFolders.rbegin(); it != createdFolders.rend(); ++it)
            fs::remove(*it, ec);
    }
};

Status makeFolders(const fs::path& folder, const fs::path& below, std::vector<fs::path>* created)
{
    fs::path current = below;
    for (const auto& part : folder.lexically_relative(below)) {
        if (part == ".")
            continue;
        current /= part;
        std::error_code ec;
        const auto status = fs::symlink_status(current, ec);
        if (fs::is_directory(status))
            continue;
        if (fs::exists(status))
            return Error{ErrorCode::WriteFailed, current.string() + ": exists and is not a folder"};
        if (!fs::create_directory(current, ec))
            return Error{ErrorCode::WriteFailed, current.string() + ": " + ec.message()};
        if (created != nullptr)
            created->push_back(current);
    }
    return {};
}

}  // namespace

epub::ZipLimits packageZipLimits()
{
    epub::ZipLimits limits;
    limits.maxArchiveBytes = 1024 * epub::kMiB;
    limits.maxEntryBytes = 512 * epub::kMiB;
    limits.maxTotalBytes = 2048 * epub::kMiB;
    limits.maxRatio = 200;
    limits.maxEntries = 20000;
    return limits;
}

Status checkFolderWritable(const fs::path& folder)
{
    std::string probe = (folder / ".veyla-write-probe-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return Error{ErrorCode::WriteFailed, folder.string() + ": " + systemError(errno)};
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

Result<std::vector<std::string>> extractArchive(const fs::path& archive, const fs::path& folder,
                                                const epub::ZipLimits& limits)
{
    Result<epub::ZipArchive> zip = epub::ZipArchive::openFile(archive, epub::RefusalPolicy::RefuseArchive, limits);
    if (!zip)
        return zip.error();
    if (Status writable = checkFolderWritable(folder); !writable)
        return writable.error();

    // Every entry is inflated, checked and written into the staging folder first.
    Result<StagingFolder> staging = StagingFolder::create(folder);
    if (!staging)
        return staging.error();
    const fs::path staged = staging->path() / "new";
    const fs::path aside = staging->path() / "old";
    std::error_code ec;
    fs::create_directory(staged, ec);
    fs::create_directory(aside, ec);
    std::vector<std::string> files;
    std::vector<std::string> folders;
    for (const epub::ZipEntry& entry : zip->entries()) {
        const std::string name = entryPathName(entry.name);
        if (entry.isFolder) {
            folders.push_back(name);
            if (Status made = makeFolders(staged / name, staged, nullptr); !made)
                return made.error();
            continue;
        }
        Result<std::string> bytes = zip->read(entry.name);
        if (!bytes)
            return bytes.error();
        const fs::path target = staged / name;
        if (Status made = makeFolders(target.parent_path(), staged, nullptr); !made)
            return made.error();
        if (fs::exists(fs::symlink_status(target, ec)))
            return Error{ErrorCode::UnsafeEntry, entry.rawName + ": written twice"};
        if (Status written = platform::writeFileAtomically(target, *bytes, platform::FileAccess::Default,
                                                           platform::Durability::Deferred);
            !written)
            return written.error();
        files.push_back(name);
    }
    platform::syncFileSystem(staged);

    // Then everything is moved into place, or nothing.
    Placement placement;
    auto fail = [&](Error error) -> Result<std::vector<std::string>> {
        placement.undo();
        return error;
    };
    for (const std::string& name : folders) {
        if (Status made = makeFolders(folder / name, folder, &placement.createdFolders); !made)
            return fail(made.error());
    }
    for (const std::string& name : files) {
        const fs::path target = folder / name;
        if (Status made = makeFolders(target.parent_path(), folder, &placement.createdFolders); !made)
            return fail(made.error());
        const auto status = fs::symlink_status(target, ec);
        if (fs::is_directory(status))
            return fail(Error{ErrorCode::WriteFailed, target.string() + ": a folder is in the way"});
        if (fs::exists(status)) {
            const fs::path keep = aside / name;
            if (Status made = makeFolders(keep.parent_path(), aside, nullptr); !made)
                return fail(made.error());
            fs::rename(target, keep, ec);
            if (ec)
                return fail(Error{ErrorCode::WriteFailed, target.string() + ": " + ec.message()});
            placement.keptAside.emplace_back(target, keep);
        }
        fs::rename(staged / name, target, ec);
        if (ec)
            return fail(Error{ErrorCode::WriteFailed, target.string() + ": " + ec.message()});
        placement.placed.push_back(target);
    }
    platform::syncFileSystem(folder);
    return files;
}

}  // namespace veyla::update
