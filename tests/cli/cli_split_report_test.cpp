// SPDX-License-Identifier: MIT
// What veyla-cli prints of the check of a split, and the import with the
// suggested options.
#include <gtest/gtest.h>

#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

class CliSplitReportTest : public ::testing::Test {
protected:
    test::ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", (m_dir / "data").string()});
        return test::runProcess(VEYLA_CLI_PATH, args);
    }
    fs::path library() const { return m_dir / "data" / "藏书库"; }
    static std::string tomSawyer() { return test::corpusFile("en/tom_sawyer_pg74.txt").string(); }
    std::size_t filesIn(const fs::path& folder) const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    static bool has(const std::string& out, const std::string& text) { return out.find(text) != std::string::npos; }

    test::TempDir m_dir;
};

TEST_F(CliSplitReportTest, SplitDryRunPrintsTheCheckAndTheSuggestion)
{
    VEYLA_REQUIRE_CORPUS();
    const auto result = cli({"split", "--dry-run", tomSawyer()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(has(result.out, "540 chapter files\nreport:\n  chapters: 540 chapters\n")) << result.out;
    EXPECT_TRUE(has(result.out, "  no number: 506 of 540 chapters\n")) << result.out;
    EXPECT_TRUE(has(result.out, "  verdict:  suspicious: every short line was taken for a heading: 506 of 540 "
                                "chapters have no number;"))
        << result.out;
    EXPECT_TRUE(has(result.out, "  suggest:  --prefix CHAPTER gives 36 files: 35 chapters and the front matter, "
                                "numbered 1-35\n"))
        << result.out;
    EXPECT_FALSE(fs::exists(library()));

    const auto applied = cli({"split", "--dry-run", "--apply-suggestion", tomSawyer()});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_TRUE(has(applied.out, "36 chapter files\n")) << applied.out;
    EXPECT_TRUE(has(applied.out, "  verdict:  looks right\n  applied:  --prefix CHAPTER gives")) << applied.out;
}

TEST_F(CliSplitReportTest, ImportPrintsTheVerdictAndTheSuggestion)
{
    VEYLA_REQUIRE_CORPUS();
    const auto result = cli({"import", "--into", "英文", tomSawyer()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(has(result.out, "  verdict:  suspicious: every short line")) << result.out;
    EXPECT_TRUE(has(result.out, "  suggest:  --prefix CHAPTER gives 36 files")) << result.out;
    EXPECT_FALSE(has(result.out, "median length:")) << "only --report prints the whole check";
    EXPECT_EQ(filesIn(library() / "英文/tom_sawyer_pg74"), 540u);

    const auto fixed = cli({"import", "--into", "英文", "--apply-suggestion", "--report", tomSawyer()});
    ASSERT_EQ(fixed.exitCode, 0) << fixed.err;
    EXPECT_TRUE(has(fixed.out, "  chapters: 36 files: 35 chapters and the front matter\n")) << fixed.out;
    EXPECT_TRUE(has(fixed.out, "  numbers:  1-35\n")) << fixed.out;
    EXPECT_TRUE(has(fixed.out, "  verdict:  looks right\n  applied:  --prefix CHAPTER")) << fixed.out;
    EXPECT_EQ(filesIn(library() / "英文/tom_sawyer_pg74 (2)"), 36u);
    EXPECT_TRUE(fs::exists(library() / "英文/tom_sawyer_pg74 (2)/0002_CHAPTERI.xml"));
}

TEST_F(CliSplitReportTest, ABookThatLooksRightGetsNoSuggestion)
{
    VEYLA_REQUIRE_CORPUS();
    const auto result = cli({"import", "--apply-suggestion", test::corpusFile("zh/aq_zhengzhuan_pg25332.txt").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(has(result.out, "  verdict:  looks right\n")) << result.out;
    EXPECT_FALSE(has(result.out, "suggest:")) << result.out;
    EXPECT_FALSE(has(result.out, "applied:")) << result.out;
    EXPECT_EQ(filesIn(library() / "aq_zhengzhuan_pg25332"), 9u);
}

TEST_F(CliSplitReportTest, IgnoreCaseMatchesHeadingsInEitherCase)
{
    // Headings written "Chapter" and "CHAPTER" in turn: a prefix matched as
    // written finds half of them, in either case all.
    std::string text = "A Book\n\n";
    for (int n = 1; n <= 8; ++n) {
        text += std::string(n % 2 ? "Chapter " : "CHAPTER ") + std::to_string(n) + "\n\n";
        for (int i = 0; i < 50; ++i)
            text += "The quick brown fox jumps over the lazy dog and runs far away.\n";
    }
    const fs::path file = m_dir / "in" / "book.txt";
    test::writeBytes(file, text);
    const auto exact = cli({"split", "--dry-run", "--prefix", "chapter", file.string()});
    ASSERT_EQ(exact.exitCode, 0) << exact.err;
    const auto either = cli({"split", "--dry-run", "--prefix", "chapter", "--ignore-case", file.string()});
    ASSERT_EQ(either.exitCode, 0) << either.err;
    EXPECT_TRUE(has(either.out, "style:    user headings: prefix \"chapter\"\n")) << either.out;
    EXPECT_TRUE(has(either.out, "8 chapter files\n")) << either.out;
    EXPECT_TRUE(has(either.out, "book/0002_CHAPTER2.xml")) << either.out;
    EXPECT_TRUE(has(either.out, "  numbers:  1-8\n  median length")) << either.out;
    EXPECT_FALSE(has(exact.out, "8 chapter files\n")) << exact.out;
}

}  // namespace
}  // namespace veyla
