// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace veyla::cli {

class CliContext;

int runUpdateCheck(CliContext& context, const std::vector<std::string>& args);
int runCatalogue(CliContext& context, const std::vector<std::string>& args);

}  // namespace veyla::cli
