// SPDX-License-Identifier: MIT
#include "core/platform/trash.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace veyla::platform {

namespace fs = std::filesystem;

namespace {

// Percent-encodes a path for the Path= key of a .trashinfo file.
std::string encodePath(const std::string& path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
            c == '_' || c == '.' || c == '~') {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &local);
    return buffer;
}

// Reserves a unique name in the trash by creating its info file exclusively.
Result<std::string> reserveName(const fs::path& trash, const fs::path& item)
{
    const std::string base = item.filename().string();
    const std::string info = "[Trash Info]\nPath=" + encodePath(fs::absolute(item).lexically_normal().string()) +
                             "\nDeletionDate=" + deletionDate() + "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const fs::path infoPath = trash / "info" / (name + ".trashinfo");
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return Error{ErrorCode::WriteFailed, infoPath.string() + ": " + std::strerror(errno)};
        }
        const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
        ::close(fd);
        if (!written) {
            ::unlink(infoPath.c_str());
            return Error{ErrorCode::WriteFailed, infoPath.string()};
        }
        return name;
    }
    return Error{ErrorCode::WriteFailed, "no free name in " + trash.string()};
}

Result<fs::path> moveInto(const fs::path& trash, const fs::path& item)
{
    std::error_code ec;
    fs::create_directories(trash / "files", ec);
    fs::create_directories(trash / "info", ec);
    auto name = reserveName(trash, item);
    if (!name)
        return name.error();
    const fs::path target = trash / "files" / *name;
    if (::rename(item.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink((trash / "info" / (*name + ".trashinfo")).c_str());
        return Error{ErrorCode::WriteFailed, item.string() + ": " + std::strerror(error)};
    }
    return target;
}

}  // namespace

TrashLocations trashLocationsFor(const fs::path& dataFolder)
{
    TrashLocations locations;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0')
        locations.homeTrash = fs::path(xdg) / "Trash";
    else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        locations.homeTrash = fs::path(home) / ".local" / "share" / "Trash";
    locations.fallbackTrash = dataFolder / ".Trash";
    return locations;
}

Result<fs::path> moveToTrash(const fs::path& item, const TrashLocations& trash)
{
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(item, ec)))
        return Error{ErrorCode::FileUnavailable, item.string() + ": no such file or folder"};
    if (!trash.homeTrash.empty()) {
        auto moved = moveInto(trash.homeTrash, item);
        if (moved)
            return moved;
    }
    if (trash.fallbackTrash.empty())
        return Error{ErrorCode::WriteFailed, item.string() + ": no trash available"};
    return moveInto(trash.fallbackTrash, item);
}

}  // namespace veyla::platform
