// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace veyla::cli {

class CliContext;

int runSearch(CliContext& context, const std::vector<std::string>& args);
int runMine(CliContext& context, const std::vector<std::string>& args);

}  // namespace veyla::cli
