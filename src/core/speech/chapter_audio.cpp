// SPDX-License-Identifier: MIT
#include "core/speech/chapter_audio.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "core/speech/speech_piece.h"
#include "core/speech/wav_file.h"
#include "core/util/utf16.h"

namespace veyla::speech {

Result<ChapterAudio> renderChapterAudio(SpeechEngine& engine, const std::filesystem::path& wavPath,
                                        std::u16string_view text, std::stop_token token)
{
    ChapterAudio audio;
    std::optional<WavFileWriter> file;
    const auto append = [&](const Wave& wave) -> Status {
        if (!file) {
            auto made = WavFileWriter::create(wavPath, wave.sampleRate);
            if (!made)
                return made.error();
            file.emplace(std::move(*made));
            audio.sampleRate = wave.sampleRate;
        }
        return file->append(wave.samples);
    };
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t lineEnd = std::min(text.find(u'\n', start), text.size());
        const std::u16string_view paragraph = text.substr(start, lineEnd - start);
        for (TextPos pos = 0;;) {
            const SpeechPiece piece = cutSpeechPiece(paragraph, pos);
            if (piece.empty())
                break;
            pos = piece.end;
            std::u16string spoken = piece.text;
            std::erase(spoken, u'\r');
            if (utf16::trim(spoken, u" \t\u3000").empty())
                continue;
            auto wave = engine.speakToWave(spoken, token);
            if (!wave)
                return wave.error();
            const double at = audio.sampleRate > 0 && file
                                  ? static_cast<double>(file->samplesWritten()) / audio.sampleRate
                                  : 0.0;
            audio.lyrics.push_back({at, std::u16string(utf16::trim(spoken, u" \t\u3000"))});
            if (Status written = append(*wave); !written)
                return written.error();
        }
        start = lineEnd + 1;
    }
    if (!file) {
        // Nothing to say: an empty file at the engine's rate.
        auto silence = engine.speakToWave(u"", token);
        if (!silence)
            return silence.error();
        if (Status written = append(*silence); !written)
            return written.error();
    }
    auto seconds = file->finish();
    if (!seconds)
        return seconds.error();
    audio.seconds = *seconds;
    return audio;
}

std::string lrcText(const std::vector<LyricLine>& lyrics, const AudioTags& tags)
{
    const auto oneLine = [](std::string text) {
        for (char& c : text)
            c = c == '\n' || c == '\r' ? ' ' : c;
        return text;
    };
    std::string out;
    if (!tags.title.empty())
        out += "[ti:" + oneLine(tags.title) + "]\n";
    if (!tags.album.empty())
        out += "[al:" + oneLine(tags.album) + "]\n";
    if (!tags.artist.empty())
        out += "[ar:" + oneLine(tags.artist) + "]\n";
    for (const auto& line : lyrics) {
        const auto hundredths = static_cast<long long>(std::floor(std::max(line.seconds, 0.0) * 100));
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "[%02lld:%02lld.%02lld]", hundredths / 6000, hundredths / 100 % 60,
                      hundredths % 100);
        out += stamp + oneLine(utf16::toUtf8(line.text)) + "\n";
    }
    return out;
}

}  // namespace veyla::speech
