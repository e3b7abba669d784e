// SPDX-License-Identifier: MIT
#include "support/test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/util/utf16.h"

namespace veyla::test {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "veyla-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Folders made read-only by a test must become writable again to be removed.
    for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}

fs::path corpusDir()
{
    if (const char* env = std::getenv("VEYLA_CORPUS_DIR"); env != nullptr && *env != '\0')
        return env;
    const fs::path configured = VEYLA_CORPUS_DIR;
    std::error_code ec;
    if (!configured.empty() && fs::exists(configured / "README.md", ec))
        return configured;
    return {};
}

std::u16string novelText(std::size_t length)
{
    const auto path = corpusFile("zh/xiyouji_pg23962.txt");
    std::u16string text;
    if (!path.empty())
        text = utf16::fromUtf8(readBytes(path));
    while (text.size() < length)
        text += u"　　却说那石猴在花果山水帘洞中，与群猴嬉戏 & <tag> The Monkey King, chapter text.\n";
    text.resize(length);
    return text;
}

fs::path corpusFile(std::string_view relative)
{
    const fs::path dir = corpusDir();
    return dir.empty() ? fs::path() : dir / relative;
}

fs::path testDataDir()
{
    return VEYLA_TEST_DATA_DIR;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, std::string_view bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, std::string_view input,
                         const std::vector<std::string>& environment)
{
    int inPipe[2];
    int outPipe[2];
    int errPipe[2];
    if (::pipe(inPipe) != 0 || ::pipe(outPipe) != 0 || ::pipe(errPipe) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(inPipe[0], STDIN_FILENO);
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            ::close(fd);
        for (const auto& assignment : environment)
            ::putenv(const_cast<char*>(assignment.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(inPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ::signal(SIGPIPE, SIG_IGN);

    ProcessResult result;
    std::size_t written = 0;
    int inFd = inPipe[1];
    if (input.empty()) {
        ::close(inFd);
        inFd = -1;
    }
    bool outOpen = true;
    bool errOpen = true;
    char buffer[65536];
    while (outOpen || errOpen) {
        pollfd fds[3];
        int count = 0;
        if (outOpen)
            fds[count++] = {outPipe[0], POLLIN, 0};
        if (errOpen)
            fds[count++] = {errPipe[0], POLLIN, 0};
        if (inFd >= 0)
            fds[count++] = {inFd, POLLOUT, 0};
        if (::poll(fds, static_cast<nfds_t>(count), -1) < 0)
            continue;
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == inFd) {
                const ssize_t n = ::write(inFd, input.data() + written, input.size() - written);
                if (n > 0)
                    written += static_cast<std::size_t>(n);
                if (n < 0 || written == input.size()) {
                    ::close(inFd);
                    inFd = -1;
                }
                continue;
            }
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                (fds[i].fd == outPipe[0] ? outOpen : errOpen) = false;
                continue;
            }
            (fds[i].fd == outPipe[0] ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
        }
    }
    if (inFd >= 0)
        ::close(inFd);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace veyla::test
