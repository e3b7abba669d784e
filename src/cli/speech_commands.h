// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace veyla::cli {

class CliContext;

int runVoices(CliContext& context, const std::vector<std::string>& args);
int runSpeak(CliContext& context, const std::vector<std::string>& args);
int runAudio(CliContext& context, const std::vector<std::string>& args);
// The hidden worker mode of audio rendering (veyla-cli --render-worker
// [--voice V] [--rate R]): renders the chapters its parent sends on
// standard input, answering on standard output.
int runRenderWorker(CliContext& context, const std::vector<std::string>& args);

}  // namespace veyla::cli
