// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace veyla::test {

// A fresh folder under the system temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const { return m_path / relative; }

private:
    std::filesystem::path m_path;
};

// The shared corpus of real books, or an empty path when it is not present.
std::filesystem::path corpusDir();
// A file of the corpus; the test is skipped by the caller when it is absent.
std::filesystem::path corpusFile(std::string_view relative);
std::filesystem::path testDataDir();
// The first length characters of 西游记 from the corpus, a line per
// paragraph; without the corpus, a line of Chinese and Latin text (with
// characters XML escapes) repeated to that length.
std::u16string novelText(std::size_t length);

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);

// Result of running a program.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Runs program with args, feeding input to its standard input.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         std::string_view input = {}, const std::vector<std::string>& environment = {});

}  // namespace veyla::test

// Skips the current test when the corpus is not available.
#define VEYLA_REQUIRE_CORPUS()                                              \
    do {                                                                    \
        if (::veyla::test::corpusDir().empty())                             \
            GTEST_SKIP() << "the shared corpus is not available";          \
    } while (false)
