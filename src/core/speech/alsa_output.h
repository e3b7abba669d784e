// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "core/speech/audio_output.h"

using snd_pcm_t = struct _snd_pcm;

namespace veyla::speech {

// The device that reaches the desktop's sound server (PulseAudio, PipeWire)
// or the first sound card.
inline constexpr const char* kAlsaDefaultDevice = "default";

// Plays samples on an ALSA PCM device: S16_LE, mono, the utterance's
// sample rate, blocking writes in chunks of kChunk so that interrupt() is
// seen within one chunk; an interrupted utterance is dropped, a finished
// one drained.
class AlsaOutput final : public AudioOutput {
public:
    static constexpr std::chrono::milliseconds kChunk{20};
    // The device buffer asked for: the most that plays after a stop.
    static constexpr std::chrono::microseconds kLatency{100000};

    // Opens a playback device by its ALSA name. DeviceUnavailable when it
    // cannot be opened (no sound card, no such device).
    static Result<std::unique_ptr<AlsaOutput>> open(const std::string& device);
    ~AlsaOutput() override;
    AlsaOutput(const AlsaOutput&) = delete;
    AlsaOutput& operator=(const AlsaOutput&) = delete;

    OutputKind kind() const override { return OutputKind::Alsa; }
    const std::string& device() const { return m_device; }
    Status begin(int sampleRate) override;
    Status write(std::span<const std::int16_t> samples) override;
    void end(Ending ending) override;
    void interrupt() override;

private:
    AlsaOutput(snd_pcm_t* pcm, std::string device) : m_pcm(pcm), m_device(std::move(device)) {}
    // Waits (in steps, watching for interrupt) until the device has played
    // what it holds; false when interrupted.
    bool waitUntilPlayed();

    snd_pcm_t* m_pcm;
    std::string m_device;
    int m_configuredRate = 0;
    std::atomic<bool> m_interrupted{false};
};

}  // namespace veyla::speech
