// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "core/library/library_tree.h"
#include "core/speech/speech_engine.h"

namespace veyla::speech {

// The message of the last progress step of a rendering that went through.
inline constexpr std::u16string_view kRenderDoneText = u"已生成完毕";

// One chapter to render: its file and the text the tree shows for it.
struct AudioJobItem {
    std::filesystem::path chapter;
    std::u16string text;
};

// The chapters a rendering started on item covers. An item with children
// starts at its first child, any other item at itself; from there the walk
// goes along the next siblings. A folder met on the way is rendered whole,
// its chapters in tree order, so that a category renders all its books and
// a book with volume folders all its volumes.
//
// Call it on the thread that owns the tree (it may load folders); the
// worker then gets the list, never the tree.
std::vector<AudioJobItem> chaptersToRender(library::LibraryTree& tree, library::LibraryTree::Node* item);

// A progress step: the text to show and the audio folder of the chapter
// (empty for the final message and for chapters outside the data folder).
struct RenderStep {
    std::u16string text;
    std::filesystem::path audioFolder;
    std::size_t index = 0;  // chapters begun so far, this one included
    std::size_t total = 0;
};
using RenderProgress = std::function<void(const RenderStep& step)>;

struct RenderSummary {
    int rendered = 0;        // WAV files written
    int existing = 0;        // chapters whose WAV file was there already
    int outside = 0;         // chapters outside the data folder: no file
    double audioSeconds = 0; // length of the files written
    bool stopped = false;
    std::vector<std::pair<std::filesystem::path, Error>> failures;  // unreadable chapters, failed writes
    std::vector<std::filesystem::path> bookFiles;  // whole-book files made or up to date (M4B)
};

// Renders each chapter to its WAV file below 音频/ (see audioTargetFor),
// one file per chapter with the engine's current voice and rate. A WAV
// file that exists is never written again, so a stopped rendering resumes
// where it left off. A stop request is seen between chapters and between
// the steps of a chapter; a chapter being synthesised is finished first and
// its file written whole. progress is called on the calling thread before
// each chapter and, unless stopped, once more with kRenderDoneText.
//
// Runs on the caller's thread. The desktop app gathers the items with
// chaptersToRender on its GUI thread, then runs renderAudio on a worker of
// its own with a std::stop_source that "停止生成" requests, relaying each
// step to the progress dialog as a queued call (the dialog shows the text
// and keeps the last non-empty audio folder for "打开音频路径"). Reading
// aloud may go on meanwhile: the engine takes the two in turns.
RenderSummary renderAudio(SpeechEngine& engine, const std::filesystem::path& dataFolder,
                          const std::vector<AudioJobItem>& items, std::stop_token stop = {},
                          const RenderProgress& progress = {});

}  // namespace veyla::speech
