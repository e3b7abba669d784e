// SPDX-License-Identifier: MIT
#include "core/search/mining_results.h"

#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "search_test_library.h"
#include "support/test_support.h"

namespace veyla::search {
namespace {

namespace fs = std::filesystem;

MiningOutcome outcomeOf(std::vector<MiningGroup> groups)
{
    MiningOutcome outcome;
    outcome.chapters = {{"a.xml", u"书/第一回"}, {"b.xml", u"书/第二回"}};
    outcome.groups = std::move(groups);
    return outcome;
}

TEST(MiningResults, WordResultTextIsExact)
{
    const auto outcome = outcomeOf({{u"笑", {{u"他笑了", 0}, {u"大笑", 0}, {u"笑道", 1}}}});
    const auto files = miningResultFiles(MiningMode::Word, outcome);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].fileName, u"笑_000.xml");
    EXPECT_EQ(files[0].text, u"共找到：3  个\n\n\n[书/第一回]\n\n他笑了\n大笑\n\n\n[书/第二回]\n\n笑道\n");
}

TEST(MiningResults, AcrosticGivesEachCharacterItsOwnFiles)
{
    const auto outcome = outcomeOf({{u"春", {{u"春眠不觉晓", 0}}}, {u"夏", {}}, {u"秋", {{u"秋风", 1}, {u"秋雨", 1}}}});
    const auto files = miningResultFiles(MiningMode::Acrostic, outcome);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].fileName, u"春_000.xml");
    EXPECT_EQ(files[0].text, u"共找到：1 个\n\n\n[书/第一回]\n\n春眠不觉晓\n");
    EXPECT_EQ(files[1].fileName, u"秋_000.xml");
    EXPECT_EQ(files[1].text, u"共找到：2 个\n\n\n[书/第二回]\n\n秋风\n秋雨\n");
}

TEST(MiningResults, ALongResultIsCutIntoNumberedFiles)
{
    std::vector<MiningHit> hits;
    for (int i = 0; i < 30; ++i)
        hits.push_back({std::u16string(20, static_cast<char16_t>(u'一' + i)), i < 15 ? 0u : 1u});
    const auto files = miningResultFiles(MiningMode::Sentence, outcomeOf({{u"笑", hits}}), 200);
    ASSERT_EQ(files.size(), 4u);
    std::vector<std::u16string> written;
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].fileName, u"笑_00" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".xml");
        // Every file counts the whole group and names the chapter it goes on with.
        EXPECT_EQ(files[i].text.rfind(u"共找到：30  个\n\n\n[书/第", 0), 0u) << i;
        EXPECT_LE(files[i].text.size(), 200u);
        std::size_t start = 0;
        for (std::size_t end = files[i].text.find(u'\n'); end != std::u16string::npos;
             start = end + 1, end = files[i].text.find(u'\n', start)) {
            const std::u16string line = files[i].text.substr(start, end - start);
            if (!line.empty() && line[0] != u'[' && line.rfind(u"共找到", 0) != 0)
                written.push_back(line);
        }
    }
    // Every hit is written once, in order.
    ASSERT_EQ(written.size(), hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i)
        EXPECT_EQ(written[i], hits[i].text);
    EXPECT_NE(files[1].text.find(u"[书/第二回]"), std::u16string::npos);
}

TEST(MiningResults, GroupNamesBecomeSafeFileNames)
{
    const struct {
        std::u16string group;
        std::u16string fileName;
    } cases[] = {
        {u"a/b", u"a_b_000.xml"},
        {u"..", u"_.._000.xml"},
        {u"\t笑", u"_笑_000.xml"},
        // Four digits and "_" would read as an order number.
        {u"2008", u"0000_2008_000.xml"},
        {std::u16string(39, u'长') + u"\U00020000", std::u16string(39, u'长') + u"_000.xml"},
    };
    for (const auto& c : cases) {
        const auto files = miningResultFiles(MiningMode::Word, outcomeOf({{c.group, {{u"甲", 0}}}}));
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0].fileName, c.fileName);
    }
}

class StoreResults : public ::testing::Test {
protected:
    StoreResults() { fs::create_directories(m_book); }
    platform::TrashLocations trash() const { return {m_dir / "trash", m_dir / "fallback-trash"}; }

    veyla::test::TempDir m_dir;
    fs::path m_book = m_dir / "藏书库" / "小说" / "0001_书";
};

TEST_F(StoreResults, AnEarlierResultOfTheModeGoesToTheTrash)
{
    const std::vector<ResultFile> first = {{u"笑_000.xml", u"共找到：1  个\n旧"}};
    ASSERT_TRUE(storeMiningResults(m_book, MiningMode::Word, first, trash()).ok());
    ASSERT_TRUE(storeMiningResults(m_book, MiningMode::Paragraph, {{u"风_000.xml", u"风"}}, trash()).ok());
    const std::string oldBytes = veyla::test::readBytes(m_book / "类别/词/笑_000.xml");

    const std::vector<ResultFile> second = {{u"哭_000.xml", u"共找到：2  个\n新"}, {u"哭_001.xml", u"续"}};
    auto written = storeMiningResults(m_book, MiningMode::Word, second, trash());
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(*written, (std::vector<fs::path>{m_book / "类别/词/哭_000.xml", m_book / "类别/词/哭_001.xml"}));
    EXPECT_EQ(test::filesBelow(m_book),
              (std::vector<std::string>{"类别/段/风_000.xml", "类别/词/哭_000.xml", "类别/词/哭_001.xml"}));
    EXPECT_EQ(library::readChapter(m_book / "类别/词/哭_000.xml", {})->paragraphs[0].text(), u"共找到：2  个");
    // The old result is in the trash, byte for byte.
    bool found = false;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir / "trash")) {
        if (entry.path().filename() == "笑_000.xml")
            found = veyla::test::readBytes(entry.path()) == oldBytes;
    }
    EXPECT_TRUE(found);
}

TEST_F(StoreResults, WhenTheOldResultCannotBeTrashedNothingIsWritten)
{
    ASSERT_TRUE(storeMiningResults(m_book, MiningMode::Word, {{u"笑_000.xml", u"旧"}}, trash()).ok());
    const std::string before = veyla::test::readBytes(m_book / "类别/词/笑_000.xml");
    veyla::test::writeBytes(m_dir / "blocked", "a file where the trash folders would go");
    const platform::TrashLocations nowhere{m_dir / "blocked/trash", m_dir / "blocked/fallback"};
    auto written = storeMiningResults(m_book, MiningMode::Word, {{u"哭_000.xml", u"新"}}, nowhere);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(test::filesBelow(m_book), std::vector<std::string>{"类别/词/笑_000.xml"});
    EXPECT_EQ(veyla::test::readBytes(m_book / "类别/词/笑_000.xml"), before);
}

}  // namespace
}  // namespace veyla::search
