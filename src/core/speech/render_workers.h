// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <stop_token>
#include <string>
#include <vector>

#include "core/speech/audio_renderer.h"
#include "core/speech/chapter_audio.h"
#include "core/speech/speech_engine.h"

namespace veyla::speech {

// Rendering in worker processes. espeak-ng is one engine per process, so a
// rendering inside the reading process takes turns with reading aloud on
// one lock and uses one core. Instead the parent starts worker processes of
// its own (veyla-cli --render-worker), hands each one chapter at a time
// and collects what they report; reading aloud keeps its own engine.
//
// The parent and a worker talk over one socket that is the worker's
// standard input and output, a line each way per chapter, fields separated
// by tabs (tab, line feed and backslash in a field escaped as \t, \n, \\):
//
//   parent: job <chapter file> <target audio file> <scratch folder>
//               <title> <album> <artist> <track> <tracks>
//   worker: ok <seconds of audio>  |  exists  |  fail <error code number> <detail>
//
// The worker makes the scratch folder, renders into it piece by piece,
// encodes Ogg Opus when the target ends in ".opus", links the finished
// file to the target (an existing target is never replaced: "exists") with
// its LRC file beside it, and removes the scratch folder. A worker that
// dies mid-chapter leaves at most its scratch folder, which the parent
// removes; that chapter fails and the rest goes on in a new worker.

// The worker command line: the program and its arguments (voice, rate).
struct WorkerCommand {
    std::filesystem::path program;
    std::vector<std::string> arguments;
};

// The option that puts veyla-cli into worker mode.
inline constexpr const char* kRenderWorkerOption = "--render-worker";

// The number of workers used when none is asked for: one per core.
int defaultRenderJobs();

// What a rendering makes of each chapter: a WAV file, an Ogg Opus file,
// or a WAV file that goes into one M4B file of the whole book (made by the
// caller with makeBookFiles once the chapters are there).
enum class AudioFormat { Wav, Opus, M4b };

// "wav", "opus", "m4b" and back; nullopt for anything else.
std::optional<AudioFormat> audioFormatNamed(std::string_view name);
std::string_view audioFormatName(AudioFormat format);

// The audio file of a chapter in a format: the WAV target with ".opus"
// for Opus (M4B books are built from the WAV files).
std::filesystem::path chapterAudioFile(const std::filesystem::path& wavTarget, AudioFormat format);

// Renders items as renderAudio does (same targets, resume rule, progress
// and summary), jobs chapters at a time in worker processes, each worker
// lowered in priority so that reading aloud keeps its pace. A stop request
// hands out no further chapter; the chapters being rendered are finished
// and written whole, and the call returns when they are. A worker that
// cannot be started fails the chapters given to it with the reason.
RenderSummary renderInWorkers(const WorkerCommand& command, const std::filesystem::path& dataFolder,
                              const std::vector<AudioJobItem>& items, int jobs, AudioFormat format,
                              std::stop_token stop = {}, const RenderProgress& progress = {});

// Renders items as the workers would (the same files, the LRC beside each,
// Opus encoded, the resume rule, progress and summary), one chapter after
// another with engine on the calling thread: for a program that has no
// worker program beside it. A stop request is seen between chapters.
RenderSummary renderInThisProcess(SpeechEngine& engine, const std::filesystem::path& dataFolder,
                                  const std::vector<AudioJobItem>& items, AudioFormat format,
                                  std::stop_token stop = {}, const RenderProgress& progress = {});

// The worker's side: reads job lines from in until it ends, renders each
// chapter with the engine makeEngine returns (called at the first job only,
// so that a worker starts as fast as the program can) and answers on out.
using EngineFactory = std::function<Result<std::unique_ptr<SpeechEngine>>()>;
int runRenderWorker(const EngineFactory& makeEngine, std::istream& in, std::ostream& out);

// The tags of each item: its book (the folder holding it), its place there.
std::vector<AudioTags> tagsOf(const std::vector<AudioJobItem>& items);

// One protocol line from fields, and back.
std::string joinWorkerFields(const std::vector<std::string>& fields);
std::vector<std::string> splitWorkerFields(std::string_view line);

}  // namespace veyla::speech
