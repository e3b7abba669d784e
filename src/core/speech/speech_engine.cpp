// SPDX-License-Identifier: MIT
#include "core/speech/speech_engine.h"

#include <algorithm>

#include "core/speech/wav_file.h"

namespace veyla::speech {

int clampRate(int rate)
{
    return std::clamp(rate, kSlowestRate, kFastestRate);
}

void SpeechEngine::setVolume(int percent)
{
    m_volume.store(std::clamp(percent, 0, kFullVolume));
}

double Wave::seconds() const
{
    return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0;
}

Result<double> SpeechEngine::speakToFile(const std::filesystem::path& path, std::u16string_view text,
                                         std::stop_token token)
{
    auto wave = speakToWave(text, std::move(token));
    if (!wave)
        return wave.error();
    if (Status written = writeWavFile(path, wave->sampleRate, wave->samples); !written)
        return written.error();
    return wave->seconds();
}

}  // namespace veyla::speech
