// SPDX-License-Identifier: MIT
// The local website of a generated book of 1,000 chapters (English text of
// Tom Sawyer from the corpus, about 2,000 characters a chapter, so that the
// English annotation has words to gloss), in chapter mode and in whole-book
// mode (120 chapters a page), with and without English annotation from the
// shipped word lists. Each iteration starts from an empty HTML folder;
// "pages/s" counts the content pages written.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "core/library/chapter_file.h"
#include "core/output/site_generator.h"
#include "core/output/vocabulary.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace {

using namespace veyla;
namespace fs = std::filesystem;

constexpr int kChapters = 1000;

std::vector<std::u16string> sourceLines()
{
    std::vector<std::u16string> lines;
    std::ifstream in(test::corpusDir() / "en" / "tom_sawyer_pg74.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > 20)
            lines.push_back(utf16::fromUtf8(line));
    }
    if (lines.empty())
        lines.assign(200, u"Tom studied the books while the boys were running home across the fields.");
    return lines;
}

struct Book {
    test::TempDir data;
    fs::path folder = data / "藏书库" / "小说" / "0001_Tom";

    Book()
    {
        const auto lines = sourceLines();
        std::size_t next = 0;
        fs::create_directories(folder);
        for (int i = 1; i <= kChapters; ++i) {
            std::u16string text = u"Chapter " + utf16::number(i) + u"\n";
            while (text.size() < 2000) {
                text += lines[next++ % lines.size()];
                text += u'\n';
            }
            char name[32];
            std::snprintf(name, sizeof name, "%04d_Chapter %d.xml", i, i);
            (void)library::writeChapterFromText(folder / name, text, library::TextForm::Import,
                                                platform::Durability::Deferred);
        }
    }
};

Book& book()
{
    static Book made;
    return made;
}

const output::Vocabulary& vocabulary()
{
    static const output::Vocabulary words =
        output::Vocabulary::load(fs::path(VEYLA_SOURCE_DIR) / "resources" / "control" / "eng");
    return words;
}

void generate(benchmark::State& state, output::SiteMode mode, bool annotate)
{
    Book& made = book();
    library::LibraryTree tree(made.data / "藏书库");
    const output::SitePlan plan = output::planSite(tree, tree.findByPath(made.folder));
    output::SiteOptions options;
    options.mode = mode;
    if (annotate)
        options.style.vocabulary = &vocabulary();
    int pages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(made.data / "HTML");
        state.ResumeTiming();
        pages += output::generateSite(plan, made.data.path(), options).pagesWritten;
    }
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
    state.counters["pages"] = benchmark::Counter(static_cast<double>(pages) / static_cast<double>(state.iterations()));
}

void ChapterMode(benchmark::State& state) { generate(state, output::SiteMode::Chapters, false); }
void ChapterModeEnglish(benchmark::State& state) { generate(state, output::SiteMode::Chapters, true); }
void WholeBookMode(benchmark::State& state) { generate(state, output::SiteMode::WholeBook, false); }
void WholeBookModeEnglish(benchmark::State& state) { generate(state, output::SiteMode::WholeBook, true); }

BENCHMARK(ChapterMode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ChapterModeEnglish)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WholeBookMode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WholeBookModeEnglish)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
