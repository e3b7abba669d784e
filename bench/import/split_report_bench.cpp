// SPDX-License-Identifier: MIT
// The check of a split and the search for a better one. Planning a 10 MB
// novel with its check, for a book whose split looks right (the check only)
// and for one that looks suspicious (every alternative split in memory);
// and the check alone on plans of 1,000 to 100,000 chapters, whose time per
// chapter should stay flat.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/import/chapter_naming.h"
#include "core/import/chapter_splitter.h"
#include "core/import/split_report.h"
#include "core/import/split_suggestion.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::import;

constexpr std::size_t kMegabyte = 1000 * 1000;

// About `megabytes` MB as UTF-8, cut at a line break.
std::u16string ofSize(const std::u16string& unit, std::size_t megabytes)
{
    std::u16string text;
    std::size_t bytes = 0;
    const std::size_t unitBytes = utf16::toUtf8(unit).size();
    while (bytes < megabytes * kMegabyte) {
        text += unit;
        bytes += unitBytes;
    }
    return text;
}

// A made-up novel whose chapters run 1, 2, 3, ... to the end: its split looks right.
const std::u16string& cleanNovel()
{
    static const std::u16string text = [] {
        std::u16string t;
        const std::u16string line = u"　　却说那石猴在花果山水帘洞中，与群猴嬉戏，不觉三五百载。\n";
        for (int chapter = 1; t.size() * 3 < 10 * kMegabyte; ++chapter) {
            t += u"第" + utf16::number(chapter) + u"回　石猴出世\n";
            for (int i = 0; i < 250; ++i)
                t += line;
        }
        return t;
    }();
    return text;
}

// 紅樓夢 repeated to 10 MB: prose lines taken for headings and the
// numbering starting again with each copy, so the check is suspicious and
// every alternative is tried.
const std::u16string& suspiciousNovel()
{
    static const std::u16string text = [] {
        const auto path = test::corpusFile("zh/hongloumeng_pg24264.txt");
        if (path.empty())
            return cleanNovel() + u"第一回　又一回\n" + cleanNovel().substr(0, 100000);
        return ofSize(utf16::fromUtf8(test::readBytes(path)), 10);
    }();
    return text;
}

void planAndCheck(benchmark::State& state, const std::u16string& source)
{
    const auto text = std::make_shared<const std::u16string>(source);
    std::size_t files = 0;
    bool suggested = false;
    for (auto _ : state) {
        const ImportPlan plan = splitIntoChapters(u"novel", text, {});
        const SplitReport report = reportOnPlan(plan);
        const auto suggestion = suggestSplit(text, {}, report);
        files = report.files;
        suggested = suggestion.has_value();
        benchmark::DoNotOptimize(suggestion);
    }
    state.counters["MB"] = static_cast<double>(utf16::toUtf8(source).size()) / kMegabyte;
    state.counters["files"] = static_cast<double>(files);
    state.counters["suggested"] = suggested ? 1 : 0;
}

void BM_PlanAndCheckClean10MB(benchmark::State& state)
{
    planAndCheck(state, cleanNovel());
}

void BM_PlanAndCheckSuspicious10MB(benchmark::State& state)
{
    planAndCheck(state, suspiciousNovel());
}

void BM_SplitOnly10MB(benchmark::State& state)
{
    const auto text = std::make_shared<const std::u16string>(suspiciousNovel());
    for (auto _ : state) {
        const ImportPlan plan = splitIntoChapters(u"novel", text, {});
        benchmark::DoNotOptimize(plan);
    }
}

// A plan of n chapters numbered 1..n with titles as a splitter makes them.
ImportPlan planOfChapters(std::size_t n)
{
    auto text = std::make_shared<const std::u16string>(n * 100, u'字');
    ImportPlan plan;
    plan.texts.push_back(text);
    plan.style.source = HeadingSource::Marker;
    plan.nodes.push_back({NodeKind::Folder, u"book", -1, {}, 0, {}, 0});
    for (std::size_t i = 0; i < n; ++i) {
        const auto number = static_cast<long long>(i + 1);
        std::u16string title = u"第" + utf16::number(number) + u"章　風雪夜歸人";
        plan.nodes.push_back({NodeKind::Chapter, zeroPadded(number, 4) + u"_" + fileNameForm(title) + u".xml", 0,
                              std::u16string_view(*text).substr(i * 100, 100), i * 100, std::move(title), 0});
    }
    return plan;
}

void BM_ReportOnPlan(benchmark::State& state)
{
    const ImportPlan plan = planOfChapters(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const SplitReport report = reportOnPlan(plan);
        benchmark::DoNotOptimize(report);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}

BENCHMARK(BM_SplitOnly10MB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlanAndCheckClean10MB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlanAndCheckSuspicious10MB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReportOnPlan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
