// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "core/util/result.h"

namespace veyla::speech {

enum class OutputKind { Alsa, Null };

// How an utterance ends: played to its last sample, or cut off.
enum class Ending { Drain, Drop };

// Where spoken audio goes: 16-bit mono samples, one utterance at a time.
//
// Threads: begin, write and end are called by one thread (the speaking
// worker); interrupt may be called from any thread.
class AudioOutput {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~AudioOutput() = default;

    virtual OutputKind kind() const = 0;
    // Starts an utterance at sampleRate; clears an earlier interrupt().
    virtual Status begin(int sampleRate) = 0;
    // Hands samples over, blocking while the device's buffer is full.
    // Cancelled once interrupt() was called during this utterance.
    virtual Status write(std::span<const std::int16_t> samples) = 0;
    // Ends the utterance. Drain blocks until everything written has been
    // played, or until interrupt(); Drop discards what has not been played.
    virtual void end(Ending ending) = 0;
    // Makes a blocked write or drain of the current utterance return at
    // once; what has not been played is dropped.
    virtual void interrupt() = 0;

    // When the first sample was handed over since construction or the last
    // clearFirstSampleTime(); nullopt while none was.
    std::optional<Clock::time_point> firstSampleTime() const;
    void clearFirstSampleTime();

protected:
    // Implementations call this from write() before playing samples.
    void noteSamplesArrived(std::size_t count);

private:
    std::atomic<Clock::rep> m_firstSample{0};  // 0 = none yet
};

// How the null output spends time: as long as the audio would play, so
// that reading aloud without a sound device still walks at a listening
// pace, or not at all (tests, rendering).
enum class NullPace { RealTime, Instant };

// The output a program gets, and why when it is the null one.
struct OutputChoice {
    std::unique_ptr<AudioOutput> output;
    OutputKind kind = OutputKind::Null;
    std::string reason;  // for the null output: why the sound device could not be used
};

// Opens ALSA's "default" device, else a null output paced by pace. The
// caller tells the user once when the null output was chosen.
OutputChoice openDefaultOutput(NullPace pace = NullPace::RealTime);

}  // namespace veyla::speech
