// SPDX-License-Identifier: MIT
// Reading, parsing and writing a 60,000-character chapter made from a real
// novel (the first 60,000 characters of 西遊記, one paragraph per line).
#include <benchmark/benchmark.h>

#include "core/library/chapter_file.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::library;

constexpr std::size_t kChapterLength = 60000;

struct Fixture {
    test::TempDir dir;
    std::filesystem::path path = dir / "book/0001_chapter.xml";
    std::u16string text = test::novelText(kChapterLength);
    Chapter chapter;

    Fixture()
    {
        (void)writeChapterFromText(path, text, TextForm::Import);
        chapter = *readChapter(path, {});
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_ReadAndParseChapter(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        auto chapter = readChapter(f.path, {});
        benchmark::DoNotOptimize(chapter);
    }
    state.counters["paragraphs"] = static_cast<double>(f.chapter.paragraphs.size());
    state.counters["chars"] = static_cast<double>(f.text.size());
}

void BM_SerializeChapter(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        auto xml = chapterToXml(f.chapter, {});
        benchmark::DoNotOptimize(xml);
    }
}

void BM_SaveChapterAtomically(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        auto written = writeChapter(f.path, f.chapter, {});
        benchmark::DoNotOptimize(written);
    }
}

void BM_WriteChapterFromText(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        auto written = writeChapterFromText(f.path, f.text, TextForm::Import);
        benchmark::DoNotOptimize(written);
    }
}

BENCHMARK(BM_ReadAndParseChapter)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SerializeChapter)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveChapterAtomically)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteChapterFromText)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
