// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/app_folders.h"
#include "core/util/result.h"

namespace veyla::cli {

// Exit codes of veyla-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// Stopped by Ctrl-C at a safe point (the shell's code for SIGINT).
inline constexpr int kExitInterrupted = 130;

// What every command gets: the folders, the streams and its arguments.
class CliContext {
public:
    CliContext(platform::AppFolders folders, std::istream& in, std::ostream& out, std::ostream& err);

    const platform::AppFolders& folders() const { return m_folders; }
    std::istream& in() { return m_in; }
    std::ostream& out() { return m_out; }
    std::ostream& err() { return m_err; }

    // A path given on the command line: absolute paths and paths starting
    // with "./" or "../" stand as they are; any other path is inside 藏书库.
    std::filesystem::path libraryPath(const std::string& argument) const;

    // Prints "veyla-cli: <command>: <message>" and returns kExitFailure.
    int fail(const std::string& command, const std::string& message);
    int fail(const std::string& command, const Error& error);
    // Prints the message with the command's usage on one line; returns kExitUsage.
    int usage(const std::string& command, const std::string& message);

    // True when standard output is a terminal (progress bars are drawn then).
    bool outputIsTerminal() const;

private:
    platform::AppFolders m_folders;
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
};

// Reads all of a stream (standard input) as bytes.
std::string readAll(std::istream& in);

}  // namespace veyla::cli
