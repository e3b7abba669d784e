// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "core/speech/chapter_audio.h"
#include "core/util/result.h"

namespace veyla::speech {

// The bit rate of speech in Ogg Opus: clear for a voice at a fifteenth of
// the size of 22 kHz 16-bit PCM.
inline constexpr int kOpusBitsPerSecond = 24000;

// Encodes a 16-bit PCM mono WAV file as Ogg Opus (speech settings) with the
// tags as Vorbis comments (TITLE, ALBUM, ARTIST, TRACKNUMBER, TRACKTOTAL).
// The file at opusPath is written in place: callers write into a folder of
// their own and move the finished file. libopusenc is loaded on the first
// call; EngineUnavailable names the package when it is missing.
Status encodeOpusFile(const std::filesystem::path& wavPath, const std::filesystem::path& opusPath,
                      const AudioTags& tags);

}  // namespace veyla::speech
