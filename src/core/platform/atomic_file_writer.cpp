// SPDX-License-Identifier: MIT
#include "core/platform/atomic_file_writer.h"

#include "core/platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veyla::platform {

namespace fs = std::filesystem;

namespace {

std::string describe(const fs::path& path, int error)
{
    return path.string() + ": " + std::strerror(error);
}

}  // namespace

Result<AtomicFileWriter> AtomicFileWriter::create(const fs::path& path)
{
    auto created = createTemporaryBeside(path, FileAccess::Default);
    if (!created)
        return created.error();
    return AtomicFileWriter(path, std::move(created->path), created->fd);
}

AtomicFileWriter::AtomicFileWriter(fs::path path, fs::path temporary, int fd)
    : m_path(std::move(path)), m_temporary(std::move(temporary)), m_fd(fd)
{
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : m_path(std::move(other.m_path)), m_temporary(std::move(other.m_temporary)), m_fd(other.m_fd)
{
    other.m_fd = -1;
}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept
{
    if (this != &other) {
        abandon();
        m_path = std::move(other.m_path);
        m_temporary = std::move(other.m_temporary);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

AtomicFileWriter::~AtomicFileWriter()
{
    abandon();
}

void AtomicFileWriter::abandon()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    ::unlink(m_temporary.c_str());
    m_fd = -1;
}

Status AtomicFileWriter::fail(int error)
{
    abandon();
    return Error{ErrorCode::WriteFailed, describe(m_path, error)};
}

Status AtomicFileWriter::append(std::string_view bytes)
{
    if (m_fd < 0)
        return Error{ErrorCode::WriteFailed, m_path.string() + ": writer already closed"};
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

Status AtomicFileWriter::writeAt(std::uint64_t offset, std::string_view bytes)
{
    if (m_fd < 0)
        return Error{ErrorCode::WriteFailed, m_path.string() + ": writer already closed"};
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return {};
}

Status AtomicFileWriter::commit(Durability durability)
{
    if (m_fd < 0)
        return Error{ErrorCode::WriteFailed, m_path.string() + ": writer already closed"};
    if (durability == Durability::Synced && ::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        const int error = errno;
        ::unlink(m_temporary.c_str());
        return Error{ErrorCode::WriteFailed, describe(m_path, error)};
    }
    if (durability == Durability::Synced) {
        fs::path folder = m_path.parent_path();
        const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return {};
}

}  // namespace veyla::platform
