// SPDX-License-Identifier: MIT
#include "core/speech/alsa_output.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdarg>
#include <thread>

#include "core/platform/shared_library.h"

namespace veyla::speech {

namespace {

// The ALSA functions the output calls, bound from libasound when the first
// output is opened, so that programs that never play load no sound library.
struct AlsaApi {
    decltype(&::snd_strerror) strerror = nullptr;
    decltype(&::snd_lib_error_set_handler) setErrorHandler = nullptr;
    decltype(&::snd_pcm_open) open = nullptr;
    decltype(&::snd_pcm_close) close = nullptr;
    decltype(&::snd_pcm_set_params) setParams = nullptr;
    decltype(&::snd_pcm_prepare) prepare = nullptr;
    decltype(&::snd_pcm_writei) writei = nullptr;
    decltype(&::snd_pcm_recover) recover = nullptr;
    decltype(&::snd_pcm_delay) delay = nullptr;
    decltype(&::snd_pcm_drain) drain = nullptr;
    decltype(&::snd_pcm_drop) drop = nullptr;
};

Result<AlsaApi> loadAlsa()
{
    auto library = platform::SharedLibrary::open("libasound.so.2");
    if (!library)
        return library.error();
    AlsaApi api;
    const auto& lib = *library;
    for (Status bound : {lib.bind(api.strerror, "snd_strerror"),
                         lib.bind(api.setErrorHandler, "snd_lib_error_set_handler"),
                         lib.bind(api.open, "snd_pcm_open"), lib.bind(api.close, "snd_pcm_close"),
                         lib.bind(api.setParams, "snd_pcm_set_params"), lib.bind(api.prepare, "snd_pcm_prepare"),
                         lib.bind(api.writei, "snd_pcm_writei"), lib.bind(api.recover, "snd_pcm_recover"),
                         lib.bind(api.delay, "snd_pcm_delay"), lib.bind(api.drain, "snd_pcm_drain"),
                         lib.bind(api.drop, "snd_pcm_drop")}) {
        if (!bound)
            return bound.error();
    }
    return api;
}

// Loaded once, by the first output opened.
const Result<AlsaApi>& loadedAlsa()
{
    static const Result<AlsaApi> loaded = loadAlsa();
    return loaded;
}

// The functions, for an output that exists (so ALSA has been loaded).
const AlsaApi& alsa()
{
    return *loadedAlsa();
}

// ALSA prints its configuration errors (such as "cannot find card '0'" on
// a machine without sound) to standard error; the caller reports the
// failure itself.
void silentErrorHandler(const char*, int, const char*, int, const char*, ...) {}

std::string alsaError(const std::string& what, int code)
{
    return what + ": " + alsa().strerror(code);
}

}  // namespace

Result<std::unique_ptr<AlsaOutput>> AlsaOutput::open(const std::string& device)
{
    if (!loadedAlsa())
        return Error{ErrorCode::DeviceUnavailable, loadedAlsa().error().detail};
    alsa().setErrorHandler(silentErrorHandler);
    snd_pcm_t* pcm = nullptr;
    const int rc = alsa().open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
    if (rc < 0)
        return Error{ErrorCode::DeviceUnavailable, alsaError("sound device \"" + device + "\"", rc)};
    return std::unique_ptr<AlsaOutput>(new AlsaOutput(pcm, device));
}

AlsaOutput::~AlsaOutput()
{
    alsa().drop(m_pcm);
    alsa().close(m_pcm);
}

Status AlsaOutput::begin(int sampleRate)
{
    m_interrupted.store(false);
    if (sampleRate <= 0)
        return Error{ErrorCode::InvalidArgument, "sample rate " + std::to_string(sampleRate)};
    if (sampleRate != m_configuredRate) {
        const int rc = alsa().setParams(m_pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                          static_cast<unsigned>(sampleRate), 1,
                                          static_cast<unsigned>(kLatency.count()));
        if (rc < 0)
            return Error{ErrorCode::DeviceUnavailable, alsaError(m_device + ": 16-bit mono", rc)};
        m_configuredRate = sampleRate;
    }
    const int rc = alsa().prepare(m_pcm);
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
        const snd_pcm_sframes_t written = alsa().writei(m_pcm, samples.data(), count);
        if (written < 0) {
            // An underrun (the worker was slower than the device) or a
            // suspend is recovered from; anything else ends the utterance.
            const int rc = alsa().recover(m_pcm, static_cast<int>(written), 1);
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
    if (alsa().delay(m_pcm, &delay) < 0 || delay <= 0)
        return !m_interrupted.load();
    const auto deadline = Clock::now() + std::chrono::milliseconds(delay * 1000 / std::max(1, m_configuredRate)) +
                          std::chrono::seconds(1);
    while (!m_interrupted.load() && Clock::now() < deadline) {
        if (alsa().delay(m_pcm, &delay) < 0 || delay <= 0)
            break;
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(
            kChunk, std::chrono::milliseconds(1 + delay * 1000 / std::max(1, m_configuredRate))));
    }
    return !m_interrupted.load();
}

void AlsaOutput::end(Ending ending)
{
    if (ending == Ending::Drain && waitUntilPlayed())
        alsa().drain(m_pcm);
    else
        alsa().drop(m_pcm);
}

void AlsaOutput::interrupt()
{
    m_interrupted.store(true);
}

}  // namespace veyla::speech
