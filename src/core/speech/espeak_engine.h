// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "core/speech/audio_output.h"
#include "core/speech/speech_engine.h"

namespace veyla::speech {

// Words per minute given to espeak-ng for a rate of kSlowestRate..kFastestRate
// (clamped). Slower than normal the steps are even; faster they grow, so
// that 3, 7 and 10 are clearly faster each:
//
//   rate  -10  -5    0    1    2    3    4    5    6    7    8    9   10
//   wpm    80 135  190  205  220  240  260  280  305  330  360  390  420
//
// 190 is a comfortable listening speed for Chinese with the Mandarin voices
// (about 4.4 ideographs a second). The top stays below 450, where espeak-ng
// switches to a different time-stretching method that is slower at first.
int espeakWordsPerMinute(int rate);

// The UTF-16 offset of the code point with the given 0-based index in text
// (the text's length for an index at or past its end). espeak-ng reports
// positions in code points, so a text with surrogate pairs needs this.
TextPos utf16OffsetOfCodePoint(std::u16string_view text, std::size_t codePointIndex);

// The speech engine on espeak-ng, in its synchronous mode: synthesis hands
// the samples to this engine, which plays them on its AudioOutput or
// collects them into a Wave. espeak-ng's volume 100 is its full volume.
//
// espeak-ng is one library state per process and not thread-safe: every
// engine of the process goes through one lock, so speak and speakToWave of
// any engines run one at a time, each setting its own voice and rate
// first. speak() is meant for a worker thread (it blocks while playing);
// stop() may come from any thread and takes effect within a few
// milliseconds of audio (the synthesis callback aborts and the output drops
// what it holds).
class EspeakEngine final : public SpeechEngine {
public:
    // Starts espeak-ng (once per process) and makes an engine that plays on
    // output, with the preferred Chinese voice selected when there is one.
    // EngineUnavailable when espeak-ng cannot find its data.
    static Result<std::unique_ptr<EspeakEngine>> create(std::unique_ptr<AudioOutput> output);

    EspeakEngine(const EspeakEngine&) = delete;
    EspeakEngine& operator=(const EspeakEngine&) = delete;
    ~EspeakEngine() override;

    int sampleRate() const { return m_sampleRate; }
    AudioOutput& output() { return *m_output; }

    std::vector<Voice> voices() const override { return m_voices; }
    int preferredVoice() const override { return m_preferredVoice; }
    Status selectVoice(std::size_t index) override;
    int selectedVoice() const override { return m_voice.load(); }
    bool setRate(int rate) override;
    int rate() const override { return m_rate.load(); }

    Status speak(std::u16string_view text, std::stop_token token = {}) override;
    void stop() override;
    Result<Wave> speakToWave(std::u16string_view text, std::stop_token token = {}) override;
    // Streams the samples into the file as they are made: a long chapter
    // never sits in memory whole.
    Result<double> speakToFile(const std::filesystem::path& path, std::u16string_view text,
                               std::stop_token token = {}) override;

private:
    EspeakEngine(std::unique_ptr<AudioOutput> output, int sampleRate, std::vector<Voice> voices);
    // Gives espeak-ng this engine's voice and rate and the volume (speaking
    // aloud uses the engine's volume, files are always made at full volume);
    // the caller holds the library lock.
    Status applySettings(int volumePercent);

    const std::unique_ptr<AudioOutput> m_output;
    const int m_sampleRate;
    const std::vector<Voice> m_voices;
    const int m_preferredVoice;
    std::atomic<int> m_voice{-1};
    std::atomic<int> m_rate{kNormalRate};

    // The cancel flag of the speak in progress, for stop().
    std::mutex m_callMutex;
    std::atomic<bool>* m_currentCancel = nullptr;
};

}  // namespace veyla::speech
