// SPDX-License-Identifier: MIT
#include "cli/cli_context.h"

#include <unistd.h>

#include <iostream>
#include <iterator>

#include "cli/command_table.h"

namespace veyla::cli {

CliContext::CliContext(platform::AppFolders folders, std::istream& in, std::ostream& out, std::ostream& err)
    : m_folders(std::move(folders)), m_in(in), m_out(out), m_err(err)
{
}

std::filesystem::path CliContext::libraryPath(const std::string& argument) const
{
    const std::filesystem::path path(argument);
    if (path.is_absolute() || argument.rfind("./", 0) == 0 || argument.rfind("../", 0) == 0 || argument == "." ||
        argument == "..")
        return path;
    return m_folders.libraryFolder() / path;
}

int CliContext::fail(const std::string& command, const std::string& message)
{
    m_err << "veyla-cli: " << command << ": " << message << '\n';
    return kExitFailure;
}

int CliContext::fail(const std::string& command, const Error& error)
{
    std::string message(errorCodeName(error.code));
    if (!error.detail.empty())
        message = error.detail + " (" + message + ")";
    return fail(command, message);
}

int CliContext::usage(const std::string& command, const std::string& message)
{
    m_err << "veyla-cli: " << command << ": " << message;
    if (const Command* found = findCommand(command))
        m_err << " (usage: veyla-cli " << found->usage << ")";
    m_err << '\n';
    return kExitUsage;
}

bool CliContext::outputIsTerminal() const
{
    return &m_out == &std::cout && ::isatty(STDOUT_FILENO) == 1;
}

std::string readAll(std::istream& in)
{
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace veyla::cli
