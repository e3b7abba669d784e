// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "core/search/hit_finder.h"
#include "core/search/mining_plan.h"
#include "core/util/result.h"

namespace veyla::search {

// A hit kept once, with the chapter (index into the plan) it was first found in.
struct MiningHit {
    std::u16string text;
    std::size_t chapter = 0;
};

// The distinct hits of one group, in the order they were found.
struct MiningGroup {
    std::u16string name;
    std::vector<MiningHit> hits;
};

// What a mining search found; it holds values only, so it can travel from
// a worker thread to the thread that writes the results.
struct MiningOutcome {
    std::vector<MiningChapter> chapters;  // the walk
    std::vector<MiningGroup> groups;      // one per group of the query
    std::size_t books = 0;
    std::size_t chaptersSearched = 0;
    // Chapters that could not be read (unreadable, or not chapter XML):
    // skipped, the search goes on.
    std::vector<std::pair<std::filesystem::path, Error>> skipped;
    bool stopped = false;

    std::size_t hitCount() const;
};

// Progress as chapters read out of the chapters of the walk.
using MiningProgress = std::function<void(std::size_t done, std::size_t total)>;

// Mines the chapters below startFolder: walks it (planMining), reads each
// chapter and finds its hits. It only reads files. Chapters are read by
// up to `threads` threads (0: one per processor, at most 4); the hits are
// merged in walk order, so the outcome does not depend on the threads.
// progress is called on the calling thread. The stop is checked before
// each chapter. FileUnavailable when startFolder is no folder.
Result<MiningOutcome> mineLibrary(const std::filesystem::path& startFolder, const HitFinder& finder,
                                  std::size_t bookLimit, std::stop_token stop = {},
                                  const MiningProgress& progress = {}, unsigned threads = 0);

}  // namespace veyla::search
