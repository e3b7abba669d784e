// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/speech/audio_renderer.h"
#include "core/speech/chapter_audio.h"

namespace veyla::speech {

// One chapter mark of a whole-book file.
struct BookChapter {
    std::string title;
    std::filesystem::path audio;  // the chapter's WAV file
    double seconds = 0;
};

// The ffmpeg metadata file of a book: its tags, then one [CHAPTER] per
// chapter with its start and end in milliseconds (each starts where the
// one before ends) and its title; "=", ";", "#", "\" and line breaks in
// values are escaped as ffmpeg wants.
std::string ffmpegMetadata(const AudioTags& book, const std::vector<BookChapter>& chapters);

// The concat list ffmpeg reads the chapters' audio from, in order.
std::string ffmpegConcatList(const std::vector<BookChapter>& chapters);

struct BookFilesSummary {
    std::vector<std::filesystem::path> made;   // M4B files written
    std::vector<std::filesystem::path> kept;   // up to date already
    std::vector<std::pair<std::filesystem::path, Error>> failures;  // per book
};

// Makes one M4B (AAC) file per book of items (the chapters of one folder
// form a book) from the chapters' WAV files below 音频/, with a chapter
// mark named after each chapter: <audio folder of the book>/<book>.m4b.
// The file is made again only when a chapter's WAV file is newer; it is
// written to a temporary name and renamed, so a failed or stopped run
// leaves the old one. A book with a chapter that has no WAV file fails.
// ffmpeg is run as a program (found on PATH); without it every book fails
// with EngineUnavailable naming the Debian package.
BookFilesSummary makeBookFiles(const std::filesystem::path& dataFolder, const std::vector<AudioJobItem>& items,
                               const std::string& ffmpeg = "ffmpeg");

}  // namespace veyla::speech
