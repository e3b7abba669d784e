// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace veyla::cli {

class CliContext;

int runBlog(CliContext& context, const std::vector<std::string>& args);
int runPublish(CliContext& context, const std::vector<std::string>& args);

}  // namespace veyla::cli
