// SPDX-License-Identifier: MIT
#include "search_test_library.h"

#include <algorithm>

#include "core/import/novel_importer.h"
#include "core/library/chapter_file.h"
#include "support/test_support.h"

namespace veyla::search::test {

namespace fs = std::filesystem;

void addChapter(const fs::path& folder, const fs::path& relative, std::u16string_view text)
{
    fs::create_directories((folder / relative).parent_path());
    (void)library::writeChapterFromText(folder / relative, text, library::TextForm::Import);
}

bool importCorpusNovels(const fs::path& folder, const std::vector<std::string>& novels)
{
    if (veyla::test::corpusDir().empty())
        return false;
    fs::create_directories(folder);
    for (const auto& novel : novels) {
        if (!import::importNovelFile(veyla::test::corpusFile(novel), folder, {}).ok())
            return false;
    }
    return true;
}

std::vector<std::string> filesBelow(const fs::path& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back(entry.path().lexically_relative(folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace veyla::search::test
