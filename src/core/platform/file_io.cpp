// SPDX-License-Identifier: MIT
#include "core/platform/file_io.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace veyla::platform {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor on scope exit.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::string describe(const fs::path& path, int error)
{
    return path.string() + ": " + std::strerror(error);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string randomSuffix()
{
    static thread_local std::mt19937_64 engine{std::random_device{}() ^ static_cast<unsigned long>(::getpid())};
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(10, 'x');
    for (char& c : suffix)
        c = kAlphabet[engine() % (sizeof(kAlphabet) - 1)];
    return suffix;
}

}  // namespace

Result<std::string> readWholeFile(const fs::path& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return Error{ErrorCode::FileUnavailable, describe(path, errno)};
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return Error{ErrorCode::FileUnavailable, describe(path, errno)};
    if (S_ISDIR(info.st_mode))
        return Error{ErrorCode::FileUnavailable, describe(path, EISDIR)};
    std::string bytes;
    if (info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Error{ErrorCode::FileUnavailable, describe(path, errno)};
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

Result<TemporaryFile> createTemporaryBeside(const fs::path& target, FileAccess access)
{
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const mode_t createMode = access == FileAccess::OwnerOnly ? 0600 : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temporary = folder / (std::string(kTemporaryFilePrefix) + randomSuffix());
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);  // released when the descriptor closes, or the writer dies
            struct stat existing {};
            if (access == FileAccess::Default && ::stat(target.c_str(), &existing) == 0)
                ::fchmod(fd, existing.st_mode & 07777);
            return TemporaryFile{std::move(temporary), fd};
        }
        if (errno != EEXIST)
            return Error{ErrorCode::WriteFailed, describe(target, errno)};
    }
    return Error{ErrorCode::WriteFailed, describe(target, EEXIST)};
}

Status writeFileAtomically(const fs::path& path, std::string_view bytes, FileAccess access, Durability durability)
{
    auto created = createTemporaryBeside(path, access);
    if (!created)
        return created.error();
    const fs::path temporary = created->path;
    FileDescriptor fd(created->fd);
    fs::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";

    auto fail = [&](int error) -> Status {
        ::unlink(temporary.c_str());
        return Error{ErrorCode::WriteFailed, describe(path, error)};
    };
    if (!writeAll(fd.get(), bytes))
        return fail(errno);
    if (durability == Durability::Synced && ::fsync(fd.get()) != 0)
        return fail(errno);
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return fail(errno);

    if (durability == Durability::Synced) {
        FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0)
            ::fsync(dir.get());
    }
    return {};
}

namespace {

// Removes the entry when it is a temporary file of ours, older than
// minimumAge and held by no writer; true when it was removed.
bool removeIfStale(const fs::directory_entry& entry, fs::file_time_type now, std::chrono::seconds minimumAge)
{
    const fs::path& path = entry.path();
    std::error_code ec;
    if (path.filename().string().rfind(kTemporaryFilePrefix, 0) != 0 || !entry.is_regular_file(ec) ||
        entry.is_symlink(ec))
        return false;
    const auto written = fs::last_write_time(path, ec);
    if (ec || now - written < minimumAge)
        return false;
    // A writer at work holds its lock; a killed one's lock went with it.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    return ::unlink(path.c_str()) == 0;
}

}  // namespace

std::size_t removeStaleTemporaryFiles(const fs::path& folder, std::chrono::seconds minimumAge)
{
    std::size_t removed = 0;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        removed += removeIfStale(*it, now, minimumAge) ? 1 : 0;
    return removed;
}

std::size_t removeStaleTemporaryFilesBelow(const fs::path& folder, std::stop_token stop,
                                           std::chrono::seconds minimumAge)
{
    std::size_t removed = 0;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    // Links are not followed: a link never leads the sweep out of folder or round a loop.
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end && !stop.stop_requested(); it.increment(ec))
        removed += removeIfStale(*it, now, minimumAge) ? 1 : 0;
    return removed;
}

Result<fs::path> keepAside(const fs::path& path, std::string_view suffix)
{
    for (int n = 1; n < 1000; ++n) {
        fs::path aside = path;
        aside += suffix;
        if (n > 1)
            aside += "." + std::to_string(n);
        // RENAME_NOREPLACE makes the check and the rename one step.
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
            return aside;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return Error{ErrorCode::WriteFailed, describe(path, errno)};
        // File systems without RENAME_NOREPLACE: check, then rename.
        std::error_code ec;
        if (fs::exists(fs::symlink_status(aside, ec)))
            continue;
        if (::rename(path.c_str(), aside.c_str()) != 0)
            return Error{ErrorCode::WriteFailed, describe(path, errno)};
        return aside;
    }
    return Error{ErrorCode::WriteFailed, describe(path, EEXIST)};
}

void syncFileSystem(const fs::path& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::syncfs(fd.get());
}

}  // namespace veyla::platform
