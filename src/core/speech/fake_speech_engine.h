// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include "core/speech/speech_engine.h"

namespace veyla::speech {

// A speech engine for tests of what drives one (the read-aloud runner, the
// audio renderer, the GUI): it records what it is asked to speak and makes
// a simple wave of kSamplesPerGlyph samples per character.
class FakeSpeechEngine final : public SpeechEngine {
public:
    static constexpr int kSampleRate = 16000;
    static constexpr std::size_t kSamplesPerGlyph = 160;

    // How long speak() takes: no time, or until stop() or the stop token.
    enum class Duration { Instant, UntilStopped };

    // Called on the speaking thread with each text and its 0-based number,
    // before speak() returns (or starts waiting to be stopped).
    using SpeakHook = std::function<void(std::u16string_view text, std::size_t index)>;

    explicit FakeSpeechEngine(std::vector<Voice> voices = defaultVoices());

    static std::vector<Voice> defaultVoices();

    void setDuration(Duration duration);
    void setSpeakHook(SpeakHook hook);
    // Called on the calling thread with each text given to speakToWave.
    void setSynthesisHook(SpeakHook hook);
    // Makes every later speak() and speakToWave() fail with error (after
    // recording the text); nullopt makes them work again.
    void setFailure(std::optional<Error> error);

    // Every text given to speak(), in order, stopped ones included.
    std::vector<std::u16string> spoken() const;
    // The volume of each speak(), in the order of spoken().
    std::vector<int> spokenVolumes() const;
    // Every text given to speakToWave().
    std::vector<std::u16string> synthesised() const;
    // Waits until speak() has been called count times; false after timeout.
    bool waitForSpoken(std::size_t count, std::chrono::milliseconds timeout) const;

    std::vector<Voice> voices() const override { return m_voices; }
    int preferredVoice() const override { return m_voices.empty() ? -1 : 0; }
    Status selectVoice(std::size_t index) override;
    int selectedVoice() const override;
    bool setRate(int rate) override;
    int rate() const override;
    Status speak(std::u16string_view text, std::stop_token token = {}) override;
    void stop() override;
    Result<Wave> speakToWave(std::u16string_view text, std::stop_token token = {}) override;

private:
    const std::vector<Voice> m_voices;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Duration m_duration = Duration::Instant;
    SpeakHook m_hook;
    SpeakHook m_synthesisHook;
    std::optional<Error> m_failure;
    std::vector<std::u16string> m_spoken;
    std::vector<int> m_spokenVolumes;
    std::vector<std::u16string> m_synthesised;
    int m_voice = -1;
    int m_rate = kNormalRate;
    bool m_speaking = false;
    bool m_stopRequested = false;
};

}  // namespace veyla::speech
