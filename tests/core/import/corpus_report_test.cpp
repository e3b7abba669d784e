// SPDX-License-Identifier: MIT
// The check of each real novel's split, and the split it suggests when the
// check finds the default split suspicious.
#include <gtest/gtest.h>

#include "core/import/novel_importer.h"
#include "split_checks.h"
#include "support/test_support.h"

namespace veyla::import {
namespace {

using test::chaptersOf;

struct CorpusCase {
    const char* file;
    std::size_t files;          // chapter files of the default split
    bool suspicious;            // the default split's verdict
    const char* suggestion;     // the options suggested; nullptr for none
    std::size_t suggestedFiles;
    const char* suggestedVerdict;
};

TEST(CorpusReport, EachNovelGetsAVerdictAndTheSuggestionThatFixesIt)
{
    VEYLA_REQUIRE_CORPUS();
    const CorpusCase cases[] = {
        // 540 short lines taken for headings; the user prefix CHAPTER finds
        // the 35 chapters, with the title page and contents in a file of their own.
        {"en/tom_sawyer_pg74.txt", 540, true, "--prefix CHAPTER", 36, "looks right"},
        // Six prose lines taken for headings. Without punctuation 120 remain:
        // heading 45 stands twice in the file, and the heading of 104 runs on
        // into its first sentence (with a comma), so 104 stays in 103.
        {"zh/hongloumeng_pg24264.txt", 126, true, "--no-punct", 120,
         "suspicious: 1 repeated number (45 after 45); 1 gap (105 after 103)"},
        {"zh/hongloumeng_pg24264.gbk.txt", 126, true, "--no-punct", 120,
         "suspicious: 1 repeated number (45 after 45); 1 gap (105 after 103)"},
        // Prose lines with 第 and 回 taken for headings; without punctuation
        // the 70 回 remain (the 楔子 stays in the first file).
        {"zh/shuihuzhuan_pg23863.txt", 73, true, "--no-punct", 70, "looks right"},
        {"zh/xiyouji_pg23962.txt", 100, false, nullptr, 0, nullptr},
        {"zh/xiyouji_pg23962.utf16le-bom.txt", 100, false, nullptr, 0, nullptr},
        {"en/pride_and_prejudice_pg1342.txt", 61, false, nullptr, 0, nullptr},
        {"zh/aq_zhengzhuan_pg25332.txt", 9, false, nullptr, 0, nullptr},
        // A short text of 81 short chapters is one file: no false alarm.
        {"zh/daodejing_pg24039.txt", 1, false, nullptr, 0, nullptr},
        // EPUB catalogs, nested in volumes or with front matter entries.
        {"epub/alice_pg11-images.epub", 15, false, nullptr, 0, nullptr},
        {"epub/generated/xiyouji_calibre_epub2.epub", 100, false, nullptr, 0, nullptr},
        {"epub/generated/xiyouji_pandoc_epub3.epub", 101, false, nullptr, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto book = planNovelFile(veyla::test::corpusFile(c.file), {});
        ASSERT_TRUE(book.ok());
        EXPECT_EQ(chaptersOf(book->plan).size(), c.files);
        EXPECT_EQ(book->report.files, c.files);
        EXPECT_EQ(book->report.suspicious, c.suspicious) << book->report.verdict();
        ASSERT_EQ(book->suggestion.has_value(), c.suggestion != nullptr);
        EXPECT_FALSE(book->suggestionApplied);
        if (!book->suggestion)
            continue;
        EXPECT_EQ(commandLineOptions(book->suggestion->options), c.suggestion);
        EXPECT_EQ(book->suggestion->report.files, c.suggestedFiles);
        EXPECT_EQ(book->suggestion->report.verdict(), c.suggestedVerdict);
    }
}

TEST(CorpusReport, TomSawyersSuggestionKeepsTheFrontMatterApart)
{
    VEYLA_REQUIRE_CORPUS();
    ImportOptions options;
    options.suggestion = SuggestionUse::Apply;
    auto book = planNovelFile(veyla::test::corpusFile("en/tom_sawyer_pg74.txt"), options);
    ASSERT_TRUE(book.ok());
    EXPECT_TRUE(book->suggestionApplied);
    const auto chapters = chaptersOf(book->plan);
    ASSERT_EQ(chapters.size(), 36u);
    // The first file runs from the start to the body's CHAPTER I.
    EXPECT_EQ(chapters[0]->sourceOffset, 0u);
    EXPECT_EQ(chapters[1]->text.substr(0, 10), u"CHAPTER I\n");
    EXPECT_EQ(chapters[35]->text.substr(0, 13), u"CHAPTER XXXV\n");
    EXPECT_TRUE(book->report.frontMatterFile);
    EXPECT_EQ(book->report.chapters, 35u);
    EXPECT_EQ(book->report.describeRuns(10), "1-35");
    EXPECT_EQ(book->report.verdict(), "looks right");
    test::expectConsistentPlan(book->plan, *book->plan.texts.front());
}

TEST(CorpusReport, TheDefaultSplitOfEveryNovelIsUnchanged)
{
    VEYLA_REQUIRE_CORPUS();
    // Checking a split never changes it: the same files as the split alone.
    for (const char* file : {"zh/hongloumeng_pg24264.txt", "en/tom_sawyer_pg74.txt", "zh/shuihuzhuan_pg23863.txt"}) {
        SCOPED_TRACE(file);
        auto book = planNovelFile(veyla::test::corpusFile(file), {});
        ASSERT_TRUE(book.ok());
        const ImportPlan alone = splitIntoChapters(u"x", *book->plan.texts.front(), {});
        ASSERT_EQ(alone.nodes.size(), book->plan.nodes.size());
        for (std::size_t i = 1; i < alone.nodes.size(); ++i) {
            EXPECT_EQ(alone.nodes[i].name, book->plan.nodes[i].name);
            EXPECT_EQ(alone.nodes[i].sourceOffset, book->plan.nodes[i].sourceOffset);
        }
    }
}

}  // namespace
}  // namespace veyla::import
