// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/speech/espeak_engine.h"
#include "core/speech/render_workers.h"

namespace veyla::cli {

class CliContext;

// The options the speech commands share, and their positional arguments.
struct SpeechArguments {
    std::optional<std::string> voice;   // --voice: a name or an index
    std::optional<int> rate;            // --rate: -10..10
    std::optional<std::string> to;      // --to FILE.wav (speak)
    std::optional<std::string> device;  // --device NAME (speak)
    std::optional<std::chrono::seconds> sleepFor;  // --for 30m (speak)
    std::optional<int> sleepChapters;              // --chapters N (speak)
    std::optional<int> jobs;                       // --jobs N (audio)
    std::optional<speech::AudioFormat> format;     // --format wav|opus|m4b (audio)
    std::vector<std::string> positional;
    std::string problem;                // non-empty: a usage error
};

// Parses --voice, --rate and the options named in allowed ("--to",
// "--device", "--for", "--chapters").
SpeechArguments parseSpeechArguments(const std::vector<std::string>& args, const std::vector<std::string>& allowed);

// The index of the voice a --voice argument names: an index into the list,
// or a display name, identifier, description or language (any case).
std::optional<std::size_t> findVoice(const std::vector<speech::Voice>& voices, const std::string& wanted);

// Makes the engine on output and applies --voice and --rate; prints the
// reason and returns null when that fails (exitCode tells how).
std::unique_ptr<speech::EspeakEngine> makeEngine(CliContext& context, const std::string& command,
                                                 std::unique_ptr<speech::AudioOutput> output,
                                                 const SpeechArguments& arguments, int& exitCode);

// Seconds as H:MM:SS.
std::string clockTime(double seconds);

}  // namespace veyla::cli
