// SPDX-License-Identifier: MIT
// Decoding and splitting novels of about 1, 5 and 10 MB, made by repeating
// 西遊記, 紅樓夢 and 水滸傳 from the corpus, as UTF-8 bytes and as GB18030
// bytes. The time per MB should stay flat as the size grows.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "core/import/chapter_splitter.h"
#include "core/import/text_decoder.h"
#include "core/util/code_page.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
using namespace veyla::import;

constexpr std::size_t kMegabyte = 1000 * 1000;

// The three novels, or a made-up book of headed chapters without the corpus.
std::u16string sourceNovels()
{
    std::u16string text;
    for (const char* file : {"zh/xiyouji_pg23962.txt", "zh/hongloumeng_pg24264.txt", "zh/shuihuzhuan_pg23863.txt"}) {
        const auto path = test::corpusFile(file);
        if (!path.empty())
            text += utf16::fromUtf8(test::readBytes(path));
    }
    if (text.empty()) {
        for (int chapter = 1; chapter <= 100; ++chapter) {
            text += u"第" + utf16::number(chapter) + u"回　石猴出世\n";
            for (int line = 0; line < 300; ++line)
                text += u"　　却说那石猴在花果山水帘洞中，与群猴嬉戏，不觉三五百载。\n";
        }
    }
    return text;
}

enum class Encoding { Utf8, Gb18030 };

// About `megabytes` MB of file bytes, cut at a line break.
const std::string& fileBytes(Encoding encoding, std::size_t megabytes)
{
    static std::map<std::pair<Encoding, std::size_t>, std::string> cache;
    auto& bytes = cache[{encoding, megabytes}];
    if (bytes.empty()) {
        static const std::u16string novels = sourceNovels();
        const std::string unit = encoding == Encoding::Utf8 ? utf16::toUtf8(novels) : encodeCodePage(novels);
        while (bytes.size() < megabytes * kMegabyte)
            bytes += unit;
        bytes.resize(bytes.rfind('\n', megabytes * kMegabyte) + 1);
    }
    return bytes;
}

void decodeAndSplit(benchmark::State& state, Encoding encoding)
{
    const std::string& bytes = fileBytes(encoding, static_cast<std::size_t>(state.range(0)));
    std::size_t chapters = 0;
    for (auto _ : state) {
        // As an import does it: the plan takes over the decoded text.
        DecodedText decoded = decodeText(bytes);
        const ImportPlan plan =
            splitIntoChapters(u"novel", std::make_shared<const std::u16string>(std::move(decoded.text)), {});
        chapters = plan.nodes.size() - 1;
        benchmark::DoNotOptimize(plan);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["chapters"] = static_cast<double>(chapters);
}

void BM_DecodeAndSplitUtf8(benchmark::State& state)
{
    decodeAndSplit(state, Encoding::Utf8);
}

void BM_DecodeAndSplitGb18030(benchmark::State& state)
{
    decodeAndSplit(state, Encoding::Gb18030);
}

void BM_DecodeOnlyGb18030(benchmark::State& state)
{
    const std::string& bytes = fileBytes(Encoding::Gb18030, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const DecodedText decoded = decodeText(bytes);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_DecodeOnlyUtf8(benchmark::State& state)
{
    const std::string& bytes = fileBytes(Encoding::Utf8, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const DecodedText decoded = decodeText(bytes);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_SplitOnly(benchmark::State& state)
{
    const auto text = std::make_shared<const std::u16string>(
        decodeText(fileBytes(Encoding::Utf8, static_cast<std::size_t>(state.range(0)))).text);
    for (auto _ : state) {
        const ImportPlan plan = splitIntoChapters(u"novel", text, {});
        benchmark::DoNotOptimize(plan);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * text->size()));
}

BENCHMARK(BM_DecodeAndSplitUtf8)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecodeAndSplitGb18030)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecodeOnlyUtf8)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DecodeOnlyGb18030)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SplitOnly)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
