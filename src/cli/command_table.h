// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veyla::cli {

class CliContext;

// One subcommand of veyla-cli.
struct Command {
    std::string_view name;
    std::string_view summary;  // one line for the command list
    std::string_view usage;    // "cat CHAPTER.xml"
    std::string_view help;     // the rest of `veyla-cli CMD --help`
    int (*run)(CliContext& context, const std::vector<std::string>& args);
};

const std::vector<Command>& commandTable();
const Command* findCommand(std::string_view name);

// The whole program: parses global options and runs one command.
int runCli(int argc, char** argv);

}  // namespace veyla::cli
