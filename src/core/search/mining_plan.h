// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

namespace veyla::search {

// A chapter a mining search reads, and the label its hits are shown under:
// the shown names from the start folder down to it, joined by "/".
struct MiningChapter {
    std::filesystem::path path;
    std::u16string label;
};

// The chapters of one mining walk, in tree order.
struct MiningPlan {
    std::vector<MiningChapter> chapters;
    std::size_t books = 0;  // folders whose first chapter was reached
    bool stopped = false;   // the stop was requested during the walk
};

// The folder a mining search starts from when item is selected: a chapter
// (a name holding ".xml" that is no folder, even when it is gone from the
// disk) is replaced by its folder, and then a folder named "类别" by its
// parent. The library folder itself is never left.
std::filesystem::path miningStartFolder(const std::filesystem::path& item, const std::filesystem::path& libraryFolder);

// Walks the start folder in tree order: folders are walked recursively
// unless they are named "类别" (where results live), and the chapters of a
// folder are taken one after the other. Each folder whose first chapter is
// reached counts as a book; once bookLimit books are counted (0: no limit)
// no further book is begun: the walk stops before the next folder or the
// first chapter of another folder. The stop is checked before each child.
MiningPlan planMining(const std::filesystem::path& startFolder, std::size_t bookLimit, std::stop_token stop = {});

}  // namespace veyla::search
