// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "core/speech/speech_engine.h"

namespace veyla::speech {

// A spoken piece and where it starts in the chapter's audio.
struct LyricLine {
    double seconds = 0;
    std::u16string text;
};

struct ChapterAudio {
    double seconds = 0;  // length of the audio written
    int sampleRate = 0;
    std::vector<LyricLine> lyrics;
};

// Renders text (paragraphs separated by line breaks) to a 16-bit PCM WAV
// file, atomically, piece by piece as reading aloud cuts it, noting from
// the engine's own samples where each piece begins, so that the lyrics
// match the audio exactly. A stop request on token ends it with Cancelled
// and leaves no file.
Result<ChapterAudio> renderChapterAudio(SpeechEngine& engine, const std::filesystem::path& wavPath,
                                        std::u16string_view text, std::stop_token token = {});

// Tags of a chapter's audio and lyrics.
struct AudioTags {
    std::string title;   // the chapter
    std::string album;   // the book
    std::string artist;  // "Veyla" unless the book names its author
    int track = 0;       // 1-based place of the chapter in the book; 0: none
    int tracks = 0;
};

// The LRC text of the lyrics: the tags as [ti:], [al:], [ar:] lines, then
// "[mm:ss.xx]" and the piece for each piece (line breaks inside a piece
// become spaces; minutes go past 99 when they must).
std::string lrcText(const std::vector<LyricLine>& lyrics, const AudioTags& tags);

}  // namespace veyla::speech
