// SPDX-License-Identifier: MIT
// Knowledge mining over a library of every TXT novel of the corpus (each
// imported as a book into one category): word mode, 笑, no book limit;
// and, in the same run, ripgrep counting 笑 in the same chapter files
// (rg -c --encoding utf-16le -F 笑), the tool a power user would reach
// for. ripgrep is skipped with a message when it is not installed.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

#include "core/import/novel_importer.h"
#include "core/search/library_miner.h"
#include "core/search/mining_results.h"
#include "support/test_support.h"

extern char** environ;

namespace {

using namespace veyla;
namespace fs = std::filesystem;

struct Library {
    test::TempDir dir;
    fs::path category = dir / "藏书库" / "小说";
    std::size_t chapters = 0;
    std::uintmax_t bytes = 0;

    Library()
    {
        fs::create_directories(category);
        const fs::path corpus = test::corpusDir();
        if (corpus.empty())
            return;
        for (const char* folder : {"zh", "en"}) {
            for (const auto& entry : fs::directory_iterator(corpus / folder)) {
                if (entry.path().extension() == ".txt")
                    (void)import::importNovelFile(entry.path(), category, {});
            }
        }
        for (const auto& entry : fs::recursive_directory_iterator(category)) {
            if (entry.is_regular_file()) {
                ++chapters;
                bytes += entry.file_size();
            }
        }
    }
};

Library& library()
{
    static Library made;
    return made;
}

search::HitFinder laughter()
{
    return search::HitFinder(search::makeMiningQuery(search::MiningMode::Word, u"笑").value());
}

void BM_MineWordLaughAllBooks(benchmark::State& state)
{
    auto& lib = library();
    if (lib.chapters == 0) {
        state.SkipWithError("the shared corpus is not available");
        return;
    }
    const auto finder = laughter();
    std::size_t hits = 0;
    for (auto _ : state) {
        auto outcome = search::mineLibrary(lib.category, finder, 0, {}, {}, static_cast<unsigned>(state.range(0)));
        hits = outcome->hitCount();
        benchmark::DoNotOptimize(hits);
    }
    state.counters["chapters"] = static_cast<double>(lib.chapters);
    state.counters["MB"] = static_cast<double>(lib.bytes) / 1e6;
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_RipgrepCountLaugh(benchmark::State& state)
{
    auto& lib = library();
    const char* rg = "/usr/bin/rg";
    if (lib.chapters == 0 || !fs::exists(rg)) {
        state.SkipWithError("ripgrep (/usr/bin/rg) or the corpus is not available: skipped");
        return;
    }
    const std::string folder = lib.category.string();
    std::vector<std::string> args = {"rg", "-c", "--encoding", "utf-16le", "-F", "笑", folder};
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, rg, &quiet, nullptr, argv.data(), environ) != 0 || waitpid(pid, &status, 0) < 0) {
            state.SkipWithError("ripgrep could not be run");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
}

void BM_WriteWordResults(benchmark::State& state)
{
    auto& lib = library();
    if (lib.chapters == 0) {
        state.SkipWithError("the shared corpus is not available");
        return;
    }
    const auto outcome = search::mineLibrary(lib.category, laughter(), 0).value();
    const auto trash = platform::TrashLocations{lib.dir / "trash", lib.dir / "trash2"};
    for (auto _ : state) {
        const auto files = search::miningResultFiles(search::MiningMode::Word, outcome);
        benchmark::DoNotOptimize(search::storeMiningResults(lib.category, search::MiningMode::Word, files, trash));
    }
}

BENCHMARK(BM_MineWordLaughAllBooks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_RipgrepCountLaugh)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteWordResults)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
