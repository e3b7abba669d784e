// SPDX-License-Identifier: MIT
#include "core/search/library_miner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "search_test_library.h"
#include "core/library/chapter_file.h"
#include "core/search/mining_results.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::search {
namespace {

namespace fs = std::filesystem;

HitFinder finder(MiningMode mode, std::u16string_view keywords)
{
    return HitFinder(makeMiningQuery(mode, keywords).value());
}

std::vector<std::size_t> groupSizes(const MiningOutcome& outcome)
{
    std::vector<std::size_t> sizes;
    for (const auto& group : outcome.groups)
        sizes.push_back(group.hits.size());
    return sizes;
}

// 阿Q正传 and 道德经 imported into one category. The counts were worked
// out by a separate script reading the same chapter files.
TEST(LibraryMiner, CorpusNovelsGiveTheExpectedHits)
{
    veyla::test::TempDir dir;
    const fs::path category = dir / "藏书库" / "小说";
    if (!test::importCorpusNovels(category, {"zh/aq_zhengzhuan_pg25332.simplified.txt", "zh/daodejing_pg24039.txt"}))
        GTEST_SKIP() << "the shared corpus is not available";
    const std::size_t chapterFiles = test::filesBelow(category).size();
    const struct {
        MiningMode mode;
        std::u16string keywords;
        std::vector<std::size_t> hits;
    } cases[] = {
        {MiningMode::Word, u"笑", {20}},
        {MiningMode::Word, u"道", {157}},
        {MiningMode::Sentence, u"笑", {20}},
        {MiningMode::Acrostic, u"阿赵", {5, 33}},
        {MiningMode::Paragraph, u"阿Q，赵太爷、钱,2", {5}},
        {MiningMode::Paragraph, u"阿Q，赵太爷、钱", {0}},
    };
    for (const auto& c : cases) {
        for (unsigned threads : {1u, 3u}) {
            auto outcome = mineLibrary(category, finder(c.mode, c.keywords), 0, {}, {}, threads);
            ASSERT_TRUE(outcome.ok());
            EXPECT_EQ(groupSizes(*outcome), c.hits) << utf16::toUtf8(c.keywords) << " threads " << threads;
            EXPECT_EQ(outcome->books, 2u);
            EXPECT_EQ(outcome->chaptersSearched, chapterFiles);
            EXPECT_TRUE(outcome->skipped.empty());
        }
    }
    // Stored, the results name their counts in their first line.
    const platform::TrashLocations trash{dir / "trash", dir / "trash2"};
    for (const auto& [mode, keywords] : {std::pair{MiningMode::Word, u"笑"}, std::pair{MiningMode::Acrostic, u"阿赵"}}) {
        auto outcome = mineLibrary(category, finder(mode, keywords), 0);
        ASSERT_TRUE(outcome.ok());
        ASSERT_TRUE(storeMiningResults(category, mode, miningResultFiles(mode, *outcome), trash).ok());
    }
    const std::pair<const char*, std::u16string> headers[] = {
        {"类别/词/笑_000.xml", u"共找到：20  个"}, {"类别/藏头诗/阿_000.xml", u"共找到：5 个"}, {"类别/藏头诗/赵_000.xml", u"共找到：33 个"}};
    for (const auto& [file, header] : headers) {
        auto chapter = library::readChapter(category / fs::u8path(file), {});
        ASSERT_TRUE(chapter.ok()) << file;
        EXPECT_EQ(chapter->paragraphs.front().text(), header) << file;
        EXPECT_EQ(chapter->paragraphs[1].text().front(), u'[') << file;
    }
    EXPECT_EQ(test::filesBelow(category / "类别").size(), 3u);

    auto first = mineLibrary(category, finder(MiningMode::Word, u"笑"), 1);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first->books, 1u);
    EXPECT_EQ(first->hitCount(), 18u);  // 阿Q正传 alone; 道德经 has the other two
}

class SmallLibrary : public ::testing::Test {
protected:
    veyla::test::TempDir m_dir;
    fs::path m_book = m_dir / "藏书库" / "小说" / "0001_书";
};

TEST_F(SmallLibrary, AnEqualHitIsKeptOnceWithItsFirstChapter)
{
    test::addChapter(m_book, "0001_一.xml", u"他笑了。\n她哭了。");
    test::addChapter(m_book, "0002_二.xml", u"他笑了！\n大笑");
    auto outcome = mineLibrary(m_book, finder(MiningMode::Word, u"笑"), 0);
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome->groups.size(), 1u);
    const auto& hits = outcome->groups[0].hits;
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].text, u"他笑了");
    EXPECT_EQ(outcome->chapters[hits[0].chapter].label, u"一");
    EXPECT_EQ(hits[1].text, u"大笑");
    EXPECT_EQ(outcome->chapters[hits[1].chapter].label, u"二");
}

TEST_F(SmallLibrary, UnreadableAndMalformedChaptersAreSkippedAndNamed)
{
    test::addChapter(m_book, "0001_一.xml", u"一笑");
    veyla::test::writeBytes(m_book / "0002_坏.xml", "<html>not a chapter</html>");
    // A pipe named like a chapter would block a reader for good.
    ASSERT_EQ(::mkfifo((m_book / "0003_管.xml").c_str(), 0600), 0);
    veyla::test::writeBytes(m_book / "0004_半.xml", library::chapterBytes(u"<Page><Body><Chunk><Chunk>半"));
    test::addChapter(m_book, "0005_五.xml", u"五笑");
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    auto outcome = mineLibrary(m_book, finder(MiningMode::Word, u"笑"), 0, {},
                               [&](std::size_t done, std::size_t total) { progress.emplace_back(done, total); });
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->hitCount(), 2u);
    EXPECT_EQ(outcome->chaptersSearched, 3u);
    ASSERT_EQ(outcome->skipped.size(), 2u);
    EXPECT_EQ(outcome->skipped[0].first, m_book / "0002_坏.xml");
    EXPECT_EQ(outcome->skipped[0].second.code, ErrorCode::NotChapterFormat);
    EXPECT_EQ(outcome->skipped[1].first, m_book / "0003_管.xml");
    EXPECT_EQ(outcome->skipped[1].second.code, ErrorCode::FileUnavailable);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), (std::pair<std::size_t, std::size_t>{5, 5}));
}

TEST_F(SmallLibrary, ALinkBackUpTheLibraryIsNotWalkedForever)
{
    test::addChapter(m_book, "0001_一.xml", u"一笑");
    fs::create_directory_symlink("..", m_book / "0002_回");
    auto outcome = mineLibrary(m_book.parent_path(), finder(MiningMode::Word, u"笑"), 0);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->hitCount(), 1u);
    EXPECT_EQ(outcome->chaptersSearched, 1u);
}

TEST_F(SmallLibrary, AStartFolderThatIsGoneIsSaid)
{
    auto outcome = mineLibrary(m_book / "0009_不在", finder(MiningMode::Word, u"笑"), 0);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.code(), ErrorCode::FileUnavailable);
}

TEST_F(SmallLibrary, AStopEndsTheSearchAndSaysSo)
{
    test::addChapter(m_book, "0001_一.xml", u"一笑");
    std::stop_source stop;
    stop.request_stop();
    auto outcome = mineLibrary(m_book, finder(MiningMode::Word, u"笑"), 0, stop.get_token());
    ASSERT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome->stopped);
    EXPECT_EQ(outcome->hitCount(), 0u);
}

}  // namespace
}  // namespace veyla::search
