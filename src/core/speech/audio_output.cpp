// SPDX-License-Identifier: MIT
#include "core/speech/audio_output.h"

#include "core/speech/alsa_output.h"
#include "core/speech/null_output.h"

namespace veyla::speech {

std::optional<AudioOutput::Clock::time_point> AudioOutput::firstSampleTime() const
{
    const Clock::rep ticks = m_firstSample.load();
    if (ticks == 0)
        return std::nullopt;
    return Clock::time_point(Clock::duration(ticks));
}

void AudioOutput::clearFirstSampleTime()
{
    m_firstSample.store(0);
}

void AudioOutput::noteSamplesArrived(std::size_t count)
{
    if (count == 0 || m_firstSample.load(std::memory_order_relaxed) != 0)
        return;
    Clock::rep expected = 0;
    const Clock::rep now = Clock::now().time_since_epoch().count();
    m_firstSample.compare_exchange_strong(expected, now == 0 ? 1 : now);
}

OutputChoice openDefaultOutput(NullPace pace)
{
    auto alsa = AlsaOutput::open(kAlsaDefaultDevice);
    if (alsa)
        return {std::move(*alsa), OutputKind::Alsa, {}};
    return {std::make_unique<NullOutput>(pace), OutputKind::Null, alsa.error().detail};
}

}  // namespace veyla::speech
