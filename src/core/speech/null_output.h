// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <mutex>

#include "core/speech/audio_output.h"

namespace veyla::speech {

// An output without a device: samples are consumed at once, or, paced in
// real time, at the speed a device would play them (writes run at most
// kBufferAhead ahead of the playing position, as a device buffer would).
class NullOutput final : public AudioOutput {
public:
    static constexpr std::chrono::milliseconds kBufferAhead{100};

    explicit NullOutput(NullPace pace) : m_pace(pace) {}

    OutputKind kind() const override { return OutputKind::Null; }
    NullPace pace() const { return m_pace; }
    Status begin(int sampleRate) override;
    Status write(std::span<const std::int16_t> samples) override;
    void end(Ending ending) override;
    void interrupt() override;

    // Samples handed over since construction.
    std::size_t samplesConsumed() const;

private:
    // Waits until the audio written so far, less ahead, has been "played";
    // false when interrupted.
    bool waitForPlayback(Clock::duration ahead);

    const NullPace m_pace;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_interrupted = false;
    int m_sampleRate = 0;
    Clock::time_point m_start;
    std::size_t m_utteranceSamples = 0;
    std::size_t m_totalSamples = 0;
};

}  // namespace veyla::speech
