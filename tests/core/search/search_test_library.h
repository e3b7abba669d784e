// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace veyla::search::test {

// Writes a chapter file at folder/relative with one paragraph per line of text.
void addChapter(const std::filesystem::path& folder, const std::filesystem::path& relative, std::u16string_view text);

// Imports corpus novels (paths inside the corpus) into folder as the
// import does; false when the corpus is missing.
bool importCorpusNovels(const std::filesystem::path& folder, const std::vector<std::string>& novels);

// Every file below folder, relative to it, in name order.
std::vector<std::string> filesBelow(const std::filesystem::path& folder);

}  // namespace veyla::search::test
