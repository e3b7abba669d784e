// SPDX-License-Identifier: MIT
// The latency from the command "全文" in the desktop app to the first
// audio sample handed to the output: the main window on a chapter of
// 10,000 characters of 西遊記, the real espeak-ng engine on the default
// output (the silent one, paced in real time, on a machine without a sound
// card). It covers taking the chapter's paragraphs from the view, starting
// the worker, cutting the first piece, the queued highlight and synthesis
// up to the first buffer.
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <thread>

#include "core/library/chapter_file.h"
#include "core/speech/espeak_engine.h"
#include "gui/commands/command_router.h"
#include "gui/speech/speech_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::gui;
namespace fs = std::filesystem;

constexpr std::size_t kChapterLength = 10000;

void BM_SpeakAllToFirstSample(benchmark::State& state)
{
    test::TempDir dir;
    ::setenv("XDG_DATA_HOME", (dir / "xdg").c_str(), 1);
    platform::AppFolders folders{VEYLA_STAGE_DIR, dir / "data"};
    const fs::path chapter = folders.libraryFolder() / "小说/西游记/0001_第一回.xml";
    if (!library::writeChapterFromText(chapter, test::novelText(kChapterLength), library::TextForm::Import)) {
        state.SkipWithError("the chapter cannot be written");
        return;
    }
    MainWindow window(folders);
    window.show();
    window.start();
    window.library().selectPath(chapter);
    SpeechController& speech = window.speech();
    auto* engine = dynamic_cast<speech::EspeakEngine*>(speech.engine());
    if (engine == nullptr) {
        state.SkipWithError("espeak-ng is not available");
        return;
    }
    speech::AudioOutput& output = engine->output();
    for (auto _ : state) {
        output.clearFirstSampleTime();
        const auto start = speech::AudioOutput::Clock::now();
        window.router().trigger(kSpeakAll);
        while (!output.firstSampleTime())
            std::this_thread::yield();
        state.SetIterationTime(std::chrono::duration<double>(*output.firstSampleTime() - start).count());
        speech.stop();
        speech.wait();
        QCoreApplication::processEvents();
    }
    state.counters["output_is_silent"] = output.kind() == speech::OutputKind::Null ? 1 : 0;
    window.close();
}

BENCHMARK(BM_SpeakAllToFirstSample)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
