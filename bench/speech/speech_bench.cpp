// SPDX-License-Identifier: MIT
// Speech figures on the simplified 西游记 (imported with the core import):
// rendering its first 10 chapters to WAV files against espeak-ng's own
// command-line tool on the same texts, the latency from starting a
// read-aloud run to the first sample handed to the output, and the
// duration of speech per 1,000 characters at rates 0 and 10 (checked with
// soxi, as a listener's player would see the files).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <ctime>
#include <thread>

#include "core/import/novel_importer.h"
#include "core/library/chapter_file.h"
#include "core/library/library_folder.h"
#include "core/speech/audio_path.h"
#include "core/speech/audio_renderer.h"
#include "core/speech/chapter_text.h"
#include "core/speech/espeak_engine.h"
#include "core/speech/null_output.h"
#include "core/speech/read_aloud_runner.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::speech;
namespace fs = std::filesystem;

constexpr std::size_t kChapters = 10;

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::size_t spokenCharacters(std::u16string_view text)
{
    std::size_t count = 0;
    for (const char16_t ch : text) {
        if (!utf16::isLowSurrogate(ch) && ch != u' ' && ch != u'\u3000' && ch != u'\r' && ch != u'\n' && ch != u'\t')
            ++count;
    }
    return count;
}

// The data folder with the imported novel, its first chapters and their texts.
struct Fixture {
    test::TempDir dir;
    fs::path data = dir / "data";
    std::vector<AudioJobItem> items;
    std::vector<std::u16string> texts;
    std::vector<fs::path> textFiles;  // the same texts for espeak-ng's tool
    std::unique_ptr<EspeakEngine> engine;
    std::string problem;

    Fixture()
    {
        const fs::path novel = test::corpusFile("zh/xiyouji_pg23962.simplified.txt");
        const fs::path shelf = data / u8"藏书库" / u8"小说";
        fs::create_directories(shelf);
        auto report = import::importNovelFile(novel, shelf, {});
        if (!report || report->written.topLevel.empty()) {
            problem = "the corpus novel could not be imported";
            return;
        }
        for (const auto& item : library::listFolder(report->written.topLevel.front())) {
            if (items.size() == kChapters)
                break;
            const fs::path chapter = report->written.topLevel.front() / item.fileName;
            items.push_back({chapter, item.text});
            texts.push_back(readChapterPlainText(chapter).value());
            textFiles.push_back(dir / ("chapter" + std::to_string(items.size()) + ".txt"));
            test::writeBytes(textFiles.back(), utf16::toUtf8(texts.back()));
        }
        auto created = EspeakEngine::create(std::make_unique<NullOutput>(NullPace::Instant));
        if (!created)
            problem = created.error().detail;
        else
            engine = std::move(*created);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Renders the chapters into a fresh audio folder; returns the CPU seconds
// used and adds the audio seconds made.
double renderOnce(Fixture& f, benchmark::State& state, double& audio)
{
    fs::remove_all(audioFolderOf(f.data));
    const double before = processCpuSeconds();
    const RenderSummary summary = renderAudio(*f.engine, f.data, f.items);
    const double cpu = processCpuSeconds() - before;
    audio += summary.audioSeconds;
    if (summary.rendered != static_cast<int>(kChapters))
        state.SkipWithError("not every chapter was rendered");
    return cpu;
}

// The same texts through `espeak-ng -v cmn-latn-pinyin -s 190 -w out.wav`
// (190 words per minute is rate 0): the engine's own speed, with its own
// WAV writing. Returns the CPU seconds of the tool's processes.
double espeakToolOnce(Fixture& f, benchmark::State& state, double& audio)
{
    const std::string rate = std::to_string(espeakWordsPerMinute(kNormalRate));
    const fs::path wav = f.dir / "tool.wav";
    const double before = childrenCpuSeconds();
    for (const auto& file : f.textFiles) {
        const auto result = test::runProcess("/usr/bin/espeak-ng", {"-v", "cmn-latn-pinyin", "-s", rate, "-w",
                                                                    wav.string(), "-f", file.string()});
        if (result.exitCode != 0)
            state.SkipWithError("espeak-ng failed");
        audio += static_cast<double>(fs::file_size(wav) - 44) / (2.0 * 22050.0);
    }
    return childrenCpuSeconds() - before;
}

// Each iteration renders the ten chapters with our renderer and then with
// espeak-ng's tool, so that both meet the same machine load; the time shown
// is the whole iteration.
void BM_RenderTenChapters(benchmark::State& state)
{
    auto& f = fixture();
    if (!f.problem.empty()) {
        state.SkipWithError(f.problem.c_str());
        return;
    }
    double ours = 0;
    double tool = 0;
    double oursAudio = 0;
    double toolAudio = 0;
    for (auto _ : state) {
        ours += renderOnce(f, state, oursAudio);
        tool += espeakToolOnce(f, state, toolAudio);
    }
    state.counters["audio_s"] = benchmark::Counter(oursAudio, benchmark::Counter::kAvgIterations);
    state.counters["ours_audio_s_per_cpu_s"] = oursAudio / ours;
    state.counters["espeak_audio_s_per_cpu_s"] = toolAudio / tool;
    state.counters["overhead_pct"] = 100.0 * ((toolAudio / tool) / (oursAudio / ours) - 1.0);
}

// Records nothing: the benchmark watches the engine's output instead.
class QuietSink final : public ReadAloudSink {
public:
    void paragraphStarted(std::size_t) override {}
    void pieceStarted(std::size_t, TextPos, TextPos) override {}
    void pieceFinished(std::size_t, TextPos, TextPos) override {}
    ChapterSnapshot nextChapter(std::stop_token) override { return nullptr; }
    void runEnded(RunEnd, const std::string&) override {}
};

void BM_FirstSampleLatency(benchmark::State& state)
{
    auto& f = fixture();
    if (!f.problem.empty()) {
        state.SkipWithError(f.problem.c_str());
        return;
    }
    const auto chapter = library::readChapter(f.items.front().chapter, {});
    if (!chapter) {
        state.SkipWithError("the first chapter cannot be read");
        return;
    }
    ChapterTexts paragraphs;
    for (const auto& paragraph : chapter->paragraphs)
        paragraphs.push_back(removeInlineMarks(paragraph.text()));
    const auto snapshot = std::make_shared<const ChapterTexts>(std::move(paragraphs));
    QuietSink sink;
    ReadAloudRunner runner(*f.engine, sink);
    AudioOutput& output = f.engine->output();
    for (auto _ : state) {
        output.clearFirstSampleTime();
        const auto start = AudioOutput::Clock::now();
        (void)runner.start({ReadAloudMode::WholeChapter, snapshot, 0, 0});
        while (!output.firstSampleTime())
            std::this_thread::yield();
        state.SetIterationTime(std::chrono::duration<double>(*output.firstSampleTime() - start).count());
        runner.stop();
        runner.wait();
    }
}

// Renders the first chapter at rate 0 and at rate 10 and asks soxi for the
// files' duration.
void BM_ListenOnce(benchmark::State& state)
{
    auto& f = fixture();
    if (!f.problem.empty()) {
        state.SkipWithError(f.problem.c_str());
        return;
    }
    const double characters = static_cast<double>(spokenCharacters(f.texts.front()));
    for (auto _ : state) {
        for (const int rate : {kNormalRate, kFastestRate}) {
            f.engine->setRate(rate);
            const fs::path wav = f.dir / ("listen" + std::to_string(rate) + ".wav");
            fs::remove(wav);
            if (!f.engine->speakToFile(wav, f.texts.front()))
                state.SkipWithError("rendering failed");
            const auto soxi = test::runProcess("/usr/bin/soxi", {"-D", wav.string()});
            if (soxi.exitCode != 0)
                state.SkipWithError("soxi failed");
            const double seconds = std::atof(soxi.out.c_str());
            state.counters["rate" + std::to_string(rate) + "_s_per_1000_chars"] = seconds / characters * 1000;
            state.counters["rate" + std::to_string(rate) + "_chars_per_s"] = characters / seconds;
        }
        f.engine->setRate(kNormalRate);
    }
    state.counters["chars"] = characters;
}

BENCHMARK(BM_RenderTenChapters)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FirstSampleLatency)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20)->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ListenOnce)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
