// SPDX-License-Identifier: MIT
#include "core/search/mining_plan.h"

#include <gtest/gtest.h>

#include "search_test_library.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::search {
namespace {

namespace fs = std::filesystem;

class MiningPlanTest : public ::testing::Test {
protected:
    MiningPlanTest()
    {
        for (const char* chapter :
             {"小说/0001_甲书/0001_一.xml", "小说/0001_甲书/0002_二.xml", "小说/0002_乙书/0001_一.xml",
              "小说/0003_丙书/0001_卷一/0001_上.xml", "小说/0003_丙书/0002_卷二/0001_下.xml", "小说/0004_丁书/0001_一.xml",
              "小说/0005_戊书/0001_一.xml", "小说/类别/词/笑_000.xml", "小说/0001_甲书/类别/段/风_000.xml"})
            test::addChapter(m_library, fs::u8path(chapter), u"正文");
    }

    std::vector<std::string> labels(const MiningPlan& plan) const
    {
        std::vector<std::string> out;
        for (const auto& chapter : plan.chapters)
            out.push_back(utf16::toUtf8(chapter.label));
        return out;
    }

    veyla::test::TempDir m_dir;
    fs::path m_library = m_dir / "藏书库";
};

TEST_F(MiningPlanTest, BookLimitOnACategoryStopsAfterThatManyBooks)
{
    const fs::path category = m_library / "小说";
    const auto one = planMining(category, 1);
    EXPECT_EQ(labels(one), (std::vector<std::string>{"甲书/一", "甲书/二"}));
    EXPECT_EQ(one.books, 1u);
    // A folder holding chapters counts as a book: 丙书's two volumes are two.
    const auto four = planMining(category, 4);
    EXPECT_EQ(labels(four), (std::vector<std::string>{"甲书/一", "甲书/二", "乙书/一", "丙书/卷一/上", "丙书/卷二/下"}));
    EXPECT_EQ(four.books, 4u);
    const auto ten = planMining(category, 10);
    EXPECT_EQ(ten.chapters.size(), 7u);
    EXPECT_EQ(ten.books, 6u);
    EXPECT_EQ(labels(planMining(category, 0)), labels(ten));
    EXPECT_FALSE(ten.stopped);
}

TEST_F(MiningPlanTest, ResultFoldersAreNeverSearched)
{
    for (const auto& label : labels(planMining(m_library, 0)))
        EXPECT_EQ(label.find("类别"), std::string::npos) << label;
    EXPECT_EQ(labels(planMining(m_library / "小说/0001_甲书", 1)), (std::vector<std::string>{"一", "二"}));
}

TEST_F(MiningPlanTest, StartFolderOfAChapterOrAResultFolder)
{
    const fs::path book = m_library / "小说/0001_甲书";
    EXPECT_EQ(miningStartFolder(book / "0001_一.xml", m_library), book);
    EXPECT_EQ(miningStartFolder(book, m_library), book);
    EXPECT_EQ(miningStartFolder(book / "类别", m_library), book);
    // A chapter deleted meanwhile still stands for its folder.
    EXPECT_EQ(miningStartFolder(book / "0009_已删.xml", m_library), book);
    EXPECT_EQ(miningStartFolder(m_library, m_library), m_library);
    EXPECT_EQ(miningStartFolder(m_library / "类别", m_library / "类别"), m_library / "类别");
}

TEST_F(MiningPlanTest, StopEndsTheWalk)
{
    std::stop_source stop;
    stop.request_stop();
    const auto plan = planMining(m_library, 0, stop.get_token());
    EXPECT_TRUE(plan.stopped);
    EXPECT_TRUE(plan.chapters.empty());
}

}  // namespace
}  // namespace veyla::search
