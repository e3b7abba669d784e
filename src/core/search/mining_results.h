// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/trash.h"
#include "core/search/library_miner.h"
#include "core/search/mining_query.h"
#include "core/util/result.h"

namespace veyla::search {

// One result chapter: its file name and its text (a paragraph per line).
struct ResultFile {
    std::u16string fileName;
    std::u16string text;
};

// A result file is cut when its text would grow beyond this many units.
inline constexpr std::size_t kMaxResultFileUnits = 100000;

// The result chapters of an outcome. Each group gets its own files, named
// after the group ("笑" or, for an acrostic, each character; a name that
// cannot be a file name is mended) with "_000.xml", "_001.xml", ... as it
// is cut. A file begins with "共找到：%d  个\n" (the word, sentence and
// paragraph modes) or "共找到：%d 个\n" (an acrostic's character), the
// number being the group's hits in all its files; then the hits follow one
// per line, under a line "[" label "]" (set apart by blank lines) naming the
// chapter they were first found in, in the order they were found. A group
// without hits gets no file.
std::vector<ResultFile> miningResultFiles(MiningMode mode, const MiningOutcome& outcome,
                                          std::size_t maxUnits = kMaxResultFileUnits);

// The folder the results of a mode go to: startFolder/类别/<mode name>.
std::filesystem::path miningResultFolder(const std::filesystem::path& startFolder, MiningMode mode);

// Stores result files: startFolder/类别 is made when missing, an earlier
// result folder of the mode is moved to the trash (when it cannot be,
// nothing is written), and the files are written into a new one. Returns
// the files written; WriteFailed names the file that could not be.
Result<std::vector<std::filesystem::path>> storeMiningResults(const std::filesystem::path& startFolder, MiningMode mode,
                                                              const std::vector<ResultFile>& files,
                                                              const platform::TrashLocations& trash);

}  // namespace veyla::search
