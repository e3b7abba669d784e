// SPDX-License-Identifier: MIT
#include "cli/speech_options.h"

#include <algorithm>
#include <cstdio>

#include "cli/cli_context.h"
#include "core/speech/sleep_timer.h"

namespace veyla::cli {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::optional<int> parseRate(const std::string& text)
{
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    std::size_t at = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (at == text.size() || !std::all_of(text.begin() + static_cast<long>(at), text.end(),
                                          [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int rate = std::stoi(text);
    if (rate < speech::kSlowestRate || rate > speech::kFastestRate)
        return std::nullopt;
    return rate;
}

}  // namespace

SpeechArguments parseSpeechArguments(const std::vector<std::string>& args, const std::vector<std::string>& allowed)
{
    SpeechArguments parsed;
    for (std::size_t i = 0; i < args.size() && parsed.problem.empty(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--voice" || arg == "--rate" ||
                                std::find(allowed.begin(), allowed.end(), arg) != allowed.end();
        if (!takesValue) {
            if (arg.rfind("--", 0) == 0)
                parsed.problem = "unknown option " + arg;
            else
                parsed.positional.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            parsed.problem = arg + " needs a value";
            break;
        }
        const std::string& value = args[++i];
        if (arg == "--voice") {
            parsed.voice = value;
        } else if (arg == "--rate") {
            parsed.rate = parseRate(value);
            if (!parsed.rate)
                parsed.problem = "--rate takes a whole number from -10 to 10, not '" + value + "'";
        } else if (arg == "--to") {
            parsed.to = value;
        } else if (arg == "--format") {
            parsed.format = speech::audioFormatNamed(value);
            if (!parsed.format)
                parsed.problem = "--format takes wav, opus or m4b, not '" + value + "'";
        } else if (arg == "--for") {
            auto duration = speech::parseSleepDuration(value);
            if (duration)
                parsed.sleepFor = *duration;
            else
                parsed.problem = "--for: " + duration.error().detail;
        } else if (arg == "--chapters" || arg == "--jobs") {
            const bool digits = !value.empty() && value.size() <= 4 &&
                                std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
            const int number = digits ? std::stoi(value) : 0;
            if (arg == "--jobs" && number > 0 && number <= 64)
                parsed.jobs = number;
            else if (arg == "--chapters" && number > 0)
                parsed.sleepChapters = number;
            else if (arg == "--jobs")
                parsed.problem = "--jobs takes a number of workers from 1 to 64, not '" + value + "'";
            else
                parsed.problem = "--chapters takes a number of chapters from 1 to 9999, not '" + value + "'";
        } else {
            parsed.device = value;
        }
    }
    return parsed;
}

std::optional<std::size_t> findVoice(const std::vector<speech::Voice>& voices, const std::string& wanted)
{
    if (!wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const unsigned long index = wanted.size() <= 6 ? std::stoul(wanted) : voices.size();
        return index < voices.size() ? std::optional<std::size_t>(index) : std::nullopt;
    }
    const std::string key = lower(wanted);
    for (auto field : {&speech::Voice::displayName, &speech::Voice::identifier, &speech::Voice::description}) {
        for (std::size_t i = 0; i < voices.size(); ++i) {
            if (lower(voices[i].*field) == key)
                return i;
        }
    }
    for (std::size_t i = 0; i < voices.size(); ++i) {
        for (const auto& language : voices[i].languages) {
            if (lower(language) == key)
                return i;
        }
    }
    return std::nullopt;
}

std::unique_ptr<speech::EspeakEngine> makeEngine(CliContext& context, const std::string& command,
                                                 std::unique_ptr<speech::AudioOutput> output,
                                                 const SpeechArguments& arguments, int& exitCode)
{
    auto engine = speech::EspeakEngine::create(std::move(output));
    if (!engine) {
        exitCode = context.fail(command, engine.error());
        return nullptr;
    }
    if (arguments.voice) {
        const auto index = findVoice((*engine)->voices(), *arguments.voice);
        if (!index) {
            exitCode = context.usage(command, "no voice '" + *arguments.voice + "' (see veyla-cli voices)");
            return nullptr;
        }
        (void)(*engine)->selectVoice(*index);
    }
    if (arguments.rate)
        (*engine)->setRate(*arguments.rate);
    exitCode = kExitOk;
    return std::move(*engine);
}

std::string clockTime(double seconds)
{
    const auto total = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

}  // namespace veyla::cli
