// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace veyla::test {

// tests/support/http_test_server.py run on 127.0.0.1 for the lifetime of
// the object: two ports served by one handler (see the script for its
// paths), files from root(), and a log of every request that arrived.
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Empty when the server runs; otherwise why it could not start (a test
    // skips with this reason).
    const std::string& unavailable() const { return m_unavailable; }

    // The folder /files/ serves.
    const std::filesystem::path& root() const { return m_root; }
    int port() const { return m_port; }
    int otherPort() const { return m_otherPort; }
    // http://127.0.0.1:PORT + path (path starts with '/').
    std::string url(std::string_view path) const;
    std::string otherUrl(std::string_view path) const;
    // "METHOD PATH" of each request received so far.
    std::vector<std::string> requests() const;

private:
    TempDir m_dir;
    std::filesystem::path m_root;
    pid_t m_pid = -1;
    int m_port = 0;
    int m_otherPort = 0;
    std::string m_unavailable;
};

}  // namespace veyla::test

// Skips the current test when the local HTTP server could not start.
#define VEYLA_REQUIRE_HTTP_SERVER(server)                                          \
    do {                                                                           \
        if (!(server).unavailable().empty())                                       \
            GTEST_SKIP() << "no local HTTP server: " << (server).unavailable();    \
    } while (false)
