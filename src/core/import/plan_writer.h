// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <stop_token>
#include <vector>

#include "core/import/import_plan.h"
#include "core/util/result.h"

namespace veyla::import {

// What applying a plan put on disk.
struct WrittenPlan {
    // The top-level items created under the target: the book folder, or the
    // single chapter file of a short text.
    std::vector<std::filesystem::path> topLevel;
    int chapterFiles = 0;
    int folders = 0;
};

// Called after each node with (nodes done, nodes in all).
using PlanProgress = std::function<void(std::size_t done, std::size_t total)>;

// Writes a plan into target: folders are created, chapters are written as
// chapter files. A top-level name that already exists in target gets a free
// name ("西游记 (2)") so an import never overwrites a book already there.
// Files are synced to disk once at the end rather than one by one. A stop
// requested before the first node gives Cancelled and writes nothing; once
// begun, a plan is written whole, so a stop never leaves half a book.
Result<WrittenPlan> writePlan(const ImportPlan& plan, const std::filesystem::path& target,
                              const PlanProgress& progress = {}, std::stop_token stop = {});

// The name itself when target holds nothing of that name, else the first
// free "name (n)" (before ".xml" for chapter files).
std::u16string freeName(const std::filesystem::path& target, std::u16string_view name, NodeKind kind);

}  // namespace veyla::import
