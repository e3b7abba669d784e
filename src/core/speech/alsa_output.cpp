// SPDX-License-Identifier: MIT
#include "core/speech/alsa_output.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdarg>
#include <thread>

namespace veyla::speech {

namespace {

// ALSA prints its configuration errors (such as "cannot find card '0'" on
// a machine without sound) to standard error; the caller reports the
// failure itself.
void silentErrorHandler(const char*, int, const char*, int, const char*, ...) {}

std::string alsaError(const std::string& what, int code)
{
    return what + ": " + snd_strerror(code);
}

}  // namespace

Result<std::unique_ptr<AlsaOutput>> AlsaOutput::open(const std::string& device)
{
    snd_lib_error_set_handler(silentErrorHandler);
    snd_pcm_t* pcm = nullptr;
    const int rc = snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
    if (rc < 0)
        return Error{ErrorCode::DeviceUnavailable, alsaError("sound device \"" + device + "\"", rc)};
    return std::unique_ptr<AlsaOutput>(new AlsaOutput(pcm, device));
}

AlsaOutput::~AlsaOutput()
{
    snd_pcm_drop(m_pcm);
    snd_pcm_close(m_pcm);
}

Status AlsaOutput::begin(int sampleRate)
{
    m_interrupted.store(false);
    if (sampleRate <= 0)
        return Error{ErrorCode::InvalidArgument, "sample rate " + std::to_string(sampleRate)};
    if (sampleRate != m_configuredRate) {
        const int rc = snd_pcm_set_params(m_pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                          static_cast<unsigned>(sampleRate), 1,
                                          static_cast<unsigned>(kLatency.count()));
        if (rc < 0)
            return Error{ErrorCode::DeviceUnavailable, alsaError(m_device + ": 16-bit mono", rc)};
        m_configuredRate = sampleRate;
    }
    const int rc = snd_pcm_prepare(m_pcm);
    if (rc < 0)
        return Error{ErrorCode::DeviceUnavailable, alsaError(m_device + ": prepare", rc)};
    return {};
}

Status AlsaOutput::write(std::span<const std::int16_t> samples)
{
    noteSamplesArrived(samples.size());
    const auto chunk = static_cast<std::size_t>(std::max<long long>(1, m_configuredRate * kChunk.count() / 1000));
    while (!samples.empty()) {
        if (m_interrupted.load())
            return Error{ErrorCode::Cancelled, "audio output interrupted"};
        const std::size_t count = std::min(chunk, samples.size());
        const snd_pcm_sframes_t written = snd_pcm_writei(m_pcm, samples.data(), count);
        if (written < 0) {
            // An underrun (the worker was slower than the device) or a
            // suspend is recovered from; anything else ends the utterance.
            const int rc = snd_pcm_recover(m_pcm, static_cast<int>(written), 1);
            if (rc < 0)
                return Error{ErrorCode::DeviceUnavailable, alsaError(m_device + ": write", rc)};
            continue;
        }
        samples = samples.subspan(static_cast<std::size_t>(written));
    }
    return {};
}

bool AlsaOutput::waitUntilPlayed()
{
    // snd_pcm_drain cannot be interrupted from another thread, so wait in
    // steps while the device still holds samples. The deadline guards
    // against a device whose delay never falls.
    snd_pcm_sframes_t delay = 0;
    if (snd_pcm_delay(m_pcm, &delay) < 0 || delay <= 0)
        return !m_interrupted.load();
    const auto deadline = Clock::now() + std::chrono::milliseconds(delay * 1000 / std::max(1, m_configuredRate)) +
                          std::chrono::seconds(1);
    while (!m_interrupted.load() && Clock::now() < deadline) {
        if (snd_pcm_delay(m_pcm, &delay) < 0 || delay <= 0)
            break;
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(
            kChunk, std::chrono::milliseconds(1 + delay * 1000 / std::max(1, m_configuredRate))));
    }
    return !m_interrupted.load();
}

void AlsaOutput::end(Ending ending)
{
    if (ending == Ending::Drain && waitUntilPlayed())
        snd_pcm_drain(m_pcm);
    else
        snd_pcm_drop(m_pcm);
}

void AlsaOutput::interrupt()
{
    m_interrupted.store(true);
}

}  // namespace veyla::speech
