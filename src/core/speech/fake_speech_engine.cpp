// SPDX-License-Identifier: MIT
#include "core/speech/fake_speech_engine.h"

#include <cmath>

namespace veyla::speech {

namespace {

std::size_t glyphCount(std::u16string_view text)
{
    std::size_t count = 0;
    for (const char16_t unit : text)
        count += utf16::isLowSurrogate(unit) ? 0 : 1;
    return count;
}

}  // namespace

FakeSpeechEngine::FakeSpeechEngine(std::vector<Voice> voices)
    : m_voices(std::move(voices)), m_voice(m_voices.empty() ? -1 : 0)
{
}

std::vector<Voice> FakeSpeechEngine::defaultVoices()
{
    return {{"fake-zh", "test/fake-zh", "Fake Chinese", {"zh"}}, {"fake-en", "test/fake-en", "Fake English", {"en"}}};
}

void FakeSpeechEngine::setDuration(Duration duration)
{
    std::lock_guard lock(m_mutex);
    m_duration = duration;
}

void FakeSpeechEngine::setSpeakHook(SpeakHook hook)
{
    std::lock_guard lock(m_mutex);
    m_hook = std::move(hook);
}

void FakeSpeechEngine::setSynthesisHook(SpeakHook hook)
{
    std::lock_guard lock(m_mutex);
    m_synthesisHook = std::move(hook);
}

void FakeSpeechEngine::setFailure(std::optional<Error> error)
{
    std::lock_guard lock(m_mutex);
    m_failure = std::move(error);
}

std::vector<std::u16string> FakeSpeechEngine::spoken() const
{
    std::lock_guard lock(m_mutex);
    return m_spoken;
}

std::vector<int> FakeSpeechEngine::spokenVolumes() const
{
    std::lock_guard lock(m_mutex);
    return m_spokenVolumes;
}

std::vector<std::u16string> FakeSpeechEngine::synthesised() const
{
    std::lock_guard lock(m_mutex);
    return m_synthesised;
}

bool FakeSpeechEngine::waitForSpoken(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_spoken.size() >= count; });
}

Status FakeSpeechEngine::selectVoice(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    if (m_voices.empty())
        return Error{ErrorCode::Unsupported, "no voice is installed"};
    m_voice = static_cast<int>(std::min(index, m_voices.size() - 1));
    return {};
}

int FakeSpeechEngine::selectedVoice() const
{
    std::lock_guard lock(m_mutex);
    return m_voice;
}

bool FakeSpeechEngine::setRate(int rate)
{
    std::lock_guard lock(m_mutex);
    const int clamped = clampRate(rate);
    const bool changed = clamped != m_rate;
    m_rate = clamped;
    return changed;
}

int FakeSpeechEngine::rate() const
{
    std::lock_guard lock(m_mutex);
    return m_rate;
}

Status FakeSpeechEngine::speak(std::u16string_view text, std::stop_token token)
{
    SpeakHook hook;
    std::size_t index = 0;
    {
        std::lock_guard lock(m_mutex);
        m_spoken.emplace_back(text);
        m_spokenVolumes.push_back(volume());
        index = m_spoken.size() - 1;
        if (m_failure) {
            m_changed.notify_all();
            return *m_failure;
        }
        m_speaking = true;
        m_stopRequested = false;
        hook = m_hook;
    }
    m_changed.notify_all();
    if (hook)
        hook(text, index);
    std::stop_callback onStop(token, [this] { stop(); });
    std::unique_lock lock(m_mutex);
    if (m_duration == Duration::UntilStopped)
        m_changed.wait(lock, [&] { return m_stopRequested; });
    const bool stopped = m_stopRequested || token.stop_requested();
    m_speaking = false;
    m_stopRequested = false;
    if (stopped)
        return Error{ErrorCode::Cancelled, "speaking stopped"};
    return {};
}

void FakeSpeechEngine::stop()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_speaking)
            m_stopRequested = true;
    }
    m_changed.notify_all();
}

Result<Wave> FakeSpeechEngine::speakToWave(std::u16string_view text, std::stop_token token)
{
    SpeakHook hook;
    std::size_t index = 0;
    {
        std::lock_guard lock(m_mutex);
        m_synthesised.emplace_back(text);
        index = m_synthesised.size() - 1;
        if (m_failure)
            return *m_failure;
        hook = m_synthesisHook;
    }
    if (hook)
        hook(text, index);
    if (token.stop_requested())
        return Error{ErrorCode::Cancelled, "speaking stopped"};
    Wave wave;
    wave.sampleRate = kSampleRate;
    wave.samples.resize(glyphCount(text) * kSamplesPerGlyph);
    for (std::size_t i = 0; i < wave.samples.size(); ++i)
        wave.samples[i] = static_cast<std::int16_t>(8000 * std::sin(static_cast<double>(i) * 0.2));
    return wave;
}

}  // namespace veyla::speech
