// SPDX-License-Identifier: MIT
#include "core/platform/shell_open.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

namespace veyla::platform {

std::string rewriteRoamingPath(const std::string& path, const std::string& packageRoamingFolder)
{
    static constexpr std::string_view kRoaming = "Roaming";
    const auto at = path.find(kRoaming);
    if (at == std::string::npos || packageRoamingFolder.empty())
        return path;
    std::string rest = path.substr(std::min(path.size(), at + kRoaming.size() + 1));
    std::string folder = packageRoamingFolder;
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    return folder + rest;
}

std::vector<std::string> openCommand(const std::string& path, const std::string& browserCommand)
{
    std::vector<std::string> argv;
    std::istringstream words(browserCommand);
    for (std::string word; words >> word;)
        argv.push_back(word);
    if (argv.empty())
        argv.emplace_back("xdg-open");
    argv.push_back(path);
    return argv;
}

Status startDetached(const std::vector<std::string>& argv)
{
    if (argv.empty())
        return Error{ErrorCode::InvalidArgument, "no program to start"};
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return Error{ErrorCode::Unsupported, std::strerror(errno)};
    const pid_t child = ::fork();
    if (child < 0)
        return Error{ErrorCode::Unsupported, std::strerror(errno)};
    if (child == 0) {
        // The grandchild runs the program; the child ends at once so the
        // program is adopted by init and never becomes our zombie.
        ::setsid();
        if (::fork() == 0) {
            ::execvp(args[0], args.data());
            const int error = errno;
            (void)!::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    int error = 0;
    const ssize_t n = ::read(report[0], &error, sizeof error);
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof error))
        return Error{ErrorCode::Unsupported, argv[0] + ": " + std::strerror(error)};
    return {};
}

Status openInBrowser(const std::filesystem::path& path, const std::string& browserCommand,
                     const std::string& packageRoamingFolder)
{
    return startDetached(openCommand(rewriteRoamingPath(path.string(), packageRoamingFolder), browserCommand));
}

Status openWithShell(const std::filesystem::path& path, const std::string& packageRoamingFolder)
{
    return startDetached(openCommand(rewriteRoamingPath(path.string(), packageRoamingFolder), {}));
}

}  // namespace veyla::platform
