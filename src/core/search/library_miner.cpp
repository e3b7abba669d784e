// SPDX-License-Identifier: MIT
#include "core/search/library_miner.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>
#include <unordered_set>

#include "core/search/chapter_texts.h"

namespace veyla::search {

namespace fs = std::filesystem;

namespace {

constexpr unsigned kMaxThreads = 4;

// What reading one chapter gave.
struct ChapterHits {
    bool read = false;
    std::optional<Error> error;
    std::vector<ParagraphHit> hits;
};

ChapterHits searchChapter(const fs::path& path, const HitFinder& finder)
{
    ChapterHits result;
    auto paragraphs = readParagraphTexts(path);
    result.read = true;
    if (!paragraphs) {
        result.error = paragraphs.error();
        return result;
    }
    for (const auto& paragraph : *paragraphs)
        finder.findHits(paragraph, result.hits);
    return result;
}

unsigned threadCount(unsigned asked, std::size_t chapters)
{
    unsigned count = asked != 0 ? asked : std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    return static_cast<unsigned>(std::min<std::size_t>(count, std::max<std::size_t>(chapters, 1)));
}

// Reads every chapter of the plan on `threads` threads, the calling one
// included; only the calling thread reports progress.
std::vector<ChapterHits> searchChapters(const MiningPlan& plan, const HitFinder& finder, unsigned threads,
                                        std::stop_token stop, const MiningProgress& progress)
{
    const std::size_t total = plan.chapters.size();
    std::vector<ChapterHits> results(total);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    auto work = [&](bool reports) {
        for (;;) {
            if (stop.stop_requested())
                return;
            const std::size_t index = next.fetch_add(1);
            if (index >= total)
                return;
            results[index] = searchChapter(plan.chapters[index].path, finder);
            const std::size_t finished = done.fetch_add(1) + 1;
            if (reports && progress)
                progress(finished, total);
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (unsigned i = 1; i < threads; ++i)
            helpers.emplace_back(work, false);
        work(true);
    }
    if (progress)
        progress(done.load(), total);
    return results;
}

}  // namespace

std::size_t MiningOutcome::hitCount() const
{
    std::size_t count = 0;
    for (const auto& group : groups)
        count += group.hits.size();
    return count;
}

Result<MiningOutcome> mineLibrary(const fs::path& startFolder, const HitFinder& finder, std::size_t bookLimit,
                                  std::stop_token stop, const MiningProgress& progress, unsigned threads)
{
    std::error_code ec;
    if (!fs::is_directory(startFolder, ec))
        return Error{ErrorCode::FileUnavailable, startFolder.string() + ": no such folder"};
    MiningPlan plan = planMining(startFolder, bookLimit, stop);
    std::vector<ChapterHits> found =
        searchChapters(plan, finder, threadCount(threads, plan.chapters.size()), stop, progress);

    MiningOutcome outcome;
    outcome.books = plan.books;
    outcome.stopped = plan.stopped || stop.stop_requested();
    for (const auto& name : finder.groups())
        outcome.groups.push_back({name, {}});
    std::vector<std::unordered_set<std::u16string>> seen(outcome.groups.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!found[i].read)
            continue;
        if (found[i].error) {
            outcome.skipped.emplace_back(plan.chapters[i].path, *found[i].error);
            continue;
        }
        ++outcome.chaptersSearched;
        for (auto& hit : found[i].hits) {
            if (seen[hit.group].insert(hit.text).second)
                outcome.groups[hit.group].hits.push_back({std::move(hit.text), i});
        }
    }
    outcome.chapters = std::move(plan.chapters);
    return outcome;
}

}  // namespace veyla::search
