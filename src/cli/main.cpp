// SPDX-License-Identifier: MIT
#include "cli/command_table.h"

int main(int argc, char** argv)
{
    return veyla::cli::runCli(argc, argv);
}
