// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace veyla::cli {

class CliContext;

int runCat(CliContext& context, const std::vector<std::string>& args);
int runNew(CliContext& context, const std::vector<std::string>& args);
int runAppend(CliContext& context, const std::vector<std::string>& args);

}  // namespace veyla::cli
