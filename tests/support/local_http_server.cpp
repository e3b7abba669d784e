// SPDX-License-Identifier: MIT
#include "support/local_http_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace veyla::test {

namespace fs = std::filesystem;

LocalHttpServer::LocalHttpServer() : m_root(m_dir / "root")
{
    fs::create_directories(m_root);
    const fs::path script = fs::path(VEYLA_TEST_SUPPORT_DIR) / "http_test_server.py";
    const fs::path ready = m_dir / "ready";
    const std::string log = (m_dir / "requests.log").string();
    bool found = false;
    if (const char* path = std::getenv("PATH"); path != nullptr) {
        std::istringstream dirs(path);
        for (std::string dir; !found && std::getline(dirs, dir, ':');)
            found = !dir.empty() && ::access((fs::path(dir) / "python3").c_str(), X_OK) == 0;
    }
    if (!found) {
        m_unavailable = "python3 is not installed";
        return;
    }
    const std::vector<std::string> args = {"python3", script.string(), "--root", m_root.string(), "--log", log,
                                           "--ready", ready.string()};
    m_pid = ::fork();
    if (m_pid < 0) {
        m_unavailable = "fork failed";
        return;
    }
    if (m_pid == 0) {
        std::vector<char*> argv;
        for (const auto& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execvp("python3", argv.data());
        ::_exit(127);
    }
    // The script writes the ready file once both ports listen.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::ifstream in(ready);
        if (in >> m_port >> m_otherPort)
            return;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_unavailable = "the test server script ended at start";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_unavailable = "the test server did not start listening";
}

LocalHttpServer::~LocalHttpServer()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
}

std::string LocalHttpServer::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::string LocalHttpServer::otherUrl(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(m_otherPort) + std::string(path);
}

std::vector<std::string> LocalHttpServer::requests() const
{
    std::vector<std::string> lines;
    std::ifstream in(m_dir / "requests.log");
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

}  // namespace veyla::test
