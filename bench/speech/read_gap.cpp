// SPDX-License-Identifier: MIT
// The gap between spoken pieces while a book is rendered: read-aloud speaks
// the pieces of a chapter on a null output that plays in real time (as a
// sound card would), and for each piece the time from the end of the one
// before to its first sample is measured, in three settings: nothing else
// running; a rendering on a second engine of the same process (espeak-ng's
// one lock shared, the old way); a rendering in worker processes.
//
//   build/release/bench/read_gap VEYLA-CLI [pieces]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "core/library/chapter_file.h"
#include "core/speech/audio_renderer.h"
#include "core/speech/espeak_engine.h"
#include "core/speech/null_output.h"
#include "core/speech/render_workers.h"
#include "core/speech/speech_piece.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::speech;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::vector<std::u16string> piecesOf(const std::u16string& text, std::size_t count)
{
    std::vector<std::u16string> pieces;
    for (TextPos pos = 0; pieces.size() < count;) {
        const SpeechPiece piece = cutSpeechPiece(text, pos);
        if (piece.empty())
            break;
        pieces.push_back(piece.text);
        pos = piece.end;
    }
    return pieces;
}

// Speaks the pieces; returns each gap in milliseconds.
std::vector<double> gaps(EspeakEngine& engine, const std::vector<std::u16string>& pieces)
{
    std::vector<double> out;
    Clock::time_point ended = Clock::now();
    for (const auto& piece : pieces) {
        engine.output().clearFirstSampleTime();
        (void)engine.speak(piece);
        const auto first = engine.output().firstSampleTime();
        if (first)
            out.push_back(std::chrono::duration<double, std::milli>(*first - ended).count());
        ended = Clock::now();
    }
    return out;
}

void report(const char* setting, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    if (values.empty())
        return;
    std::printf("%-34s pieces %3zu  median %7.1f ms  p90 %7.1f ms  max %7.1f ms\n", setting, values.size(),
                values[values.size() / 2], values[values.size() * 9 / 10], values.back());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: read_gap VEYLA-CLI [pieces]\n");
        return 2;
    }
    const fs::path cli = fs::absolute(argv[1]);
    const std::size_t count = argc > 2 ? static_cast<std::size_t>(std::atoi(argv[2])) : 40;
    const std::u16string novel = test::novelText(400000);
    test::TempDir dir;
    const fs::path data = dir / "data";
    std::vector<AudioJobItem> items;
    for (int i = 0; i < 40; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%04d_第%d章.xml", i + 1, i + 1);
        const fs::path chapter = data / "藏书库" / "书" / name;
        (void)library::writeChapterFromText(chapter, novel.substr(static_cast<std::size_t>(i) * 3000, 3000),
                                            library::TextForm::Import);
        items.push_back({chapter, u"章"});
    }
    auto reader = EspeakEngine::create(std::make_unique<NullOutput>(NullPace::RealTime));
    if (!reader) {
        std::fprintf(stderr, "espeak-ng: %s\n", reader.error().detail.c_str());
        return 1;
    }
    const auto pieces = piecesOf(novel.substr(200000, 20000), count);
    report("nothing else running", gaps(**reader, pieces));

    {
        auto renderer = EspeakEngine::create(std::make_unique<NullOutput>(NullPace::Instant));
        std::stop_source stop;
        std::thread rendering([&] { renderAudio(**renderer, data, items, stop.get_token()); });
        report("rendering in this process", gaps(**reader, pieces));
        stop.request_stop();
        rendering.join();
    }
    fs::remove_all(data / "音频");
    {
        std::stop_source stop;
        std::thread rendering([&] {
            renderInWorkers({cli, {}}, data, items, defaultRenderJobs(), AudioFormat::Wav, stop.get_token());
        });
        report("rendering in worker processes", gaps(**reader, pieces));
        stop.request_stop();
        rendering.join();
    }
    return 0;
}
