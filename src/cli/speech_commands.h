// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace veyla::cli {

class CliContext;

int runVoices(CliContext& context, const std::vector<std::string>& args);
int runSpeak(CliContext& context, const std::vector<std::string>& args);
int runAudio(CliContext& context, const std::vector<std::string>& args);

}  // namespace veyla::cli
