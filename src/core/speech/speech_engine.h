// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"
#include "core/util/utf16.h"

namespace veyla::speech {

// The speaking rate runs from kSlowestRate to kFastestRate; 0 is the normal
// speed, and 0, 3, 7 and 10 (the ribbon's four speeds) are ever faster.
inline constexpr int kSlowestRate = -10;
inline constexpr int kNormalRate = 0;
inline constexpr int kFastestRate = 10;
// Volume in percent of the engine's full loudness.
inline constexpr int kFullVolume = 100;

int clampRate(int rate);

// One voice of an engine.
struct Voice {
    std::string displayName;             // shown in the voice list ("cmn-Latn-pinyin")
    std::string identifier;              // the engine's own name for it ("sit/cmn-Latn-pinyin")
    std::string description;             // a longer name ("Chinese (Mandarin, latin as Pinyin)")
    std::vector<std::string> languages;  // most specific first ("cmn-latn-pinyin", "zh-cmn", "zh")
};

// Where a word of the spoken text starts in the audio: the word's range in
// the text (UTF-16 units) and the index of its first sample.
struct WordMark {
    TextPos begin = 0;
    TextPos end = 0;
    std::size_t sample = 0;
};

// Synthesised speech: 16-bit mono samples at sampleRate, with the word marks
// the engine reported.
struct Wave {
    int sampleRate = 0;
    std::vector<std::int16_t> samples;
    std::vector<WordMark> words;

    double seconds() const;
};

// A text-to-speech engine with the operations reading aloud and audio
// rendering need. One engine serves the whole program.
//
// Threads: every member may be called from any thread. speak and
// speakToWave run one at a time (a second call waits for the first), so
// reading aloud and rendering can share the engine; they block and belong
// on a worker thread. stop, setRate and selectVoice return at once and are
// meant for the user-interface thread; a new rate or voice is used from the
// next speak on.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;

    // Every voice the engine has, in a fixed order (the voice list's order).
    virtual std::vector<Voice> voices() const = 0;
    // The index of the voice a Chinese reader is given at first, or -1.
    virtual int preferredVoice() const = 0;
    // Selects voice index; an index beyond the list selects the last voice.
    // Unsupported when the engine has no voices.
    virtual Status selectVoice(std::size_t index) = 0;
    // The selected voice's index, or -1 while none is.
    virtual int selectedVoice() const = 0;

    // Sets the rate clamped to kSlowestRate..kFastestRate; returns whether it changed.
    virtual bool setRate(int rate) = 0;
    virtual int rate() const = 0;

    // Sets the volume (clamped to 0..kFullVolume) used from the next speak
    // on; a sleep timer lowers it over the last pieces it lets through.
    void setVolume(int percent);
    int volume() const { return m_volume.load(); }

    // Speaks text aloud and returns once it has been played, or promptly
    // after stop() or a stop request on token, then with Cancelled.
    virtual Status speak(std::u16string_view text, std::stop_token token = {}) = 0;
    // Ends the speak in progress, if any; a later speak is not affected.
    virtual void stop() = 0;

    // Synthesises text without playing it. A stop request on token ends it
    // with Cancelled; stop() does not (it is for what is being played).
    virtual Result<Wave> speakToWave(std::u16string_view text, std::stop_token token = {}) = 0;

    // Writes the speech of text to a 16-bit PCM WAV file, atomically: the
    // file at path is complete or absent, never partly written. The parent
    // folder must exist. Returns the seconds of audio written. This
    // implementation goes through speakToWave; an engine may stream instead.
    virtual Result<double> speakToFile(const std::filesystem::path& path, std::u16string_view text,
                                       std::stop_token token = {});

private:
    std::atomic<int> m_volume{kFullVolume};
};

}  // namespace veyla::speech
