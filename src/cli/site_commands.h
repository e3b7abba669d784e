// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace veyla::cli {

class CliContext;

int runSite(CliContext& context, const std::vector<std::string>& args);
int runAnnotate(CliContext& context, const std::vector<std::string>& args);

}  // namespace veyla::cli
