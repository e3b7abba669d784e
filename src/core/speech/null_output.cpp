// SPDX-License-Identifier: MIT
#include "core/speech/null_output.h"

namespace veyla::speech {

Status NullOutput::begin(int sampleRate)
{
    if (sampleRate <= 0)
        return Error{ErrorCode::InvalidArgument, "sample rate " + std::to_string(sampleRate)};
    std::lock_guard lock(m_mutex);
    m_interrupted = false;
    m_sampleRate = sampleRate;
    m_start = Clock::now();
    m_utteranceSamples = 0;
    return {};
}

Status NullOutput::write(std::span<const std::int16_t> samples)
{
    noteSamplesArrived(samples.size());
    {
        std::lock_guard lock(m_mutex);
        if (m_interrupted)
            return Error{ErrorCode::Cancelled, "audio output interrupted"};
        m_utteranceSamples += samples.size();
        m_totalSamples += samples.size();
    }
    if (!waitForPlayback(kBufferAhead))
        return Error{ErrorCode::Cancelled, "audio output interrupted"};
    return {};
}

void NullOutput::end(Ending ending)
{
    if (ending == Ending::Drain)
        (void)waitForPlayback(Clock::duration::zero());
}

void NullOutput::interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_wake.notify_all();
}

std::size_t NullOutput::samplesConsumed() const
{
    std::lock_guard lock(m_mutex);
    return m_totalSamples;
}

bool NullOutput::waitForPlayback(Clock::duration ahead)
{
    std::unique_lock lock(m_mutex);
    if (m_pace == NullPace::Instant || m_sampleRate <= 0)
        return !m_interrupted;
    const auto played = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(m_utteranceSamples) / m_sampleRate));
    const Clock::time_point until = m_start + played - ahead;
    m_wake.wait_until(lock, until, [this] { return m_interrupted; });
    return !m_interrupted;
}

}  // namespace veyla::speech
