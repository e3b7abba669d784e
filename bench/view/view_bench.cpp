// SPDX-License-Identifier: MIT
// The reading view's model on a 60,000-character chapter made from a real
// novel (the first 60,000 characters of 西遊記, one paragraph per line):
// opening and laying it out, re-flowing it after a text size change, and
// typing one character in the middle of a long paragraph.
#include <benchmark/benchmark.h>

#include "core/library/chapter_file.h"
#include "core/view/chapter_conversion.h"
#include "core/view/reading_model.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::view;

constexpr std::size_t kChapterLength = 60000;
constexpr std::size_t kLongParagraph = 6000;

const ClientArea kWindow{1400, 900, 1400, 17, ScreenMode::Window};

struct Fixture {
    test::TempDir dir;
    std::filesystem::path path = dir / "book/0001_chapter.xml";
    library::Chapter chapter;
    library::Chapter withLongParagraph;

    Fixture()
    {
        const std::u16string text = test::novelText(kChapterLength);
        (void)library::writeChapterFromText(path, text, library::TextForm::Import);
        chapter = *library::readChapter(path, {});
        // The same text with its middle 6,000 characters joined into one paragraph.
        std::u16string joined;
        for (const auto& paragraph : chapter.paragraphs)
            joined += paragraph.text();
        const std::size_t middle = joined.size() / 2;
        std::u16string longText;
        for (char16_t c : joined.substr(middle, kLongParagraph))
            if (c != u'\r')
                longText += c;
        withLongParagraph = chapter;
        library::Paragraph paragraph;
        paragraph.runs.push_back({longText, {}});
        withLongParagraph.paragraphs.insert(
            withLongParagraph.paragraphs.begin() + static_cast<std::ptrdiff_t>(chapter.paragraphs.size() / 2),
            paragraph);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Reading the chapter file, building the layout model and laying it out.
void BM_OpenAndLayOutChapter(benchmark::State& state)
{
    auto& f = fixture();
    ReadingModel model;
    model.resize(kWindow);
    for (auto _ : state) {
        auto chapter = library::readChapter(f.path, {});
        model.open(*chapter);
        benchmark::DoNotOptimize(model.document().height);
    }
    state.counters["paragraphs"] = static_cast<double>(model.document().paragraphs.size());
    state.counters["glyphs"] = static_cast<double>(model.document().glyphCount());
}

// Building and laying out the model of an already read chapter.
void BM_LayOutChapter(benchmark::State& state)
{
    auto& f = fixture();
    ReadingModel model;
    model.resize(kWindow);
    for (auto _ : state) {
        model.open(f.chapter);
        benchmark::DoNotOptimize(model.document().height);
    }
}

// A text size change: every text paragraph is broken into lines again.
void BM_ReflowAfterTextSizeChange(benchmark::State& state)
{
    auto& f = fixture();
    ReadingModel model;
    model.resize(kWindow);
    model.open(f.chapter);
    int size = 28;
    for (auto _ : state) {
        size = size == 28 ? 30 : 28;
        model.setTextSize(size);
        benchmark::DoNotOptimize(model.document().height);
    }
}

// One typed character in the middle of a 6,000-character paragraph in the
// middle of the chapter: that paragraph is laid out again and the following
// ones move down.
void BM_TypeInLongParagraph(benchmark::State& state)
{
    auto& f = fixture();
    ReadingModel model;
    model.resize(kWindow);
    model.open(f.withLongParagraph);
    const std::size_t p = f.chapter.paragraphs.size() / 2;
    const auto& paragraph = model.document().paragraphs[p];
    const TextPosition middle{p, paragraph.lines.size() / 2, 5};
    for (auto _ : state) {
        model.editor().setCaret(middle);
        auto typed = model.typeCharacter(u'新');
        benchmark::DoNotOptimize(typed);
        state.PauseTiming();
        (void)model.pressKey(EditKey::Backspace);
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(paragraph.lines.size());
}

BENCHMARK(BM_OpenAndLayOutChapter)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_LayOutChapter)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReflowAfterTextSizeChange)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_TypeInLongParagraph)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
