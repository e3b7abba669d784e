// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace veyla::test {

// Every file (its bytes) and folder ("<folder>") below root, by relative
// path: two snapshots are equal when nothing below root changed.
std::map<std::string, std::string> folderSnapshot(const std::filesystem::path& root);

// A ZIP archive whose central directory makes its second entry point at
// the first entry's data (both entries hold the same bytes under names of
// the same length).
std::string overlappingZip();

}  // namespace veyla::test
