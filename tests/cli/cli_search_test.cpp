// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

// veyla-cli on a data folder of its own, with the trash inside it too.
class CliSearchTest : public ::testing::Test {
protected:
    CliSearchTest()
    {
        addChapter("小说/0001_甲书/0001_第一回.xml", u"他笑了。\n她也笑了，大笑。");
        addChapter("小说/0001_甲书/0002_第二回.xml", u"春眠不觉晓\n风雨交加，雪夜");
        addChapter("小说/0002_乙书/0001_第一回.xml", u"又笑");
    }

    void addChapter(const std::string& relative, std::u16string_view text)
    {
        const fs::path path = library() / fs::u8path(relative);
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(library::writeChapterFromText(path, text, library::TextForm::Import).ok());
    }

    test::ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", m_data.path().string()});
        return test::runProcess(VEYLA_CLI_PATH, args, {}, {"XDG_DATA_HOME=" + (m_data / "xdg").string()});
    }
    fs::path library() const { return m_data / "藏书库"; }

    test::TempDir m_data;
};

TEST_F(CliSearchTest, SearchPrintsEveryMatchInTreeOrder)
{
    const auto all = cli({"search", "第一回"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, "小说/0001_甲书/0001_第一回.xml\n小说/0002_乙书/0001_第一回.xml\n");
    const auto back = cli({"search", "--backwards", "回"});
    EXPECT_EQ(back.out, "小说/0002_乙书/0001_第一回.xml\n小说/0001_甲书/0002_第二回.xml\n小说/0001_甲书/0001_第一回.xml\n");
    const auto from = cli({"search", "--from", "小说/0001_甲书/0001_第一回.xml", "书"});
    EXPECT_EQ(from.out, "小说/0002_乙书\n");
    const auto folders = cli({"search", "书"});
    EXPECT_EQ(folders.out, "小说/0001_甲书\n小说/0002_乙书\n");
}

TEST_F(CliSearchTest, SearchSaysWhenNothingMatchesOrTheInputIsWrong)
{
    const auto none = cli({"search", "丙"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.out.empty());
    EXPECT_NE(none.err.find("veyla-cli: search: "), std::string::npos);
    EXPECT_EQ(cli({"search", ""}).exitCode, 2);
    EXPECT_EQ(cli({"search"}).exitCode, 2);
    const auto gone = cli({"search", "--from", "小说/0009_无", "书"});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_NE(gone.err.find("not in the library"), std::string::npos) << gone.err;
}

TEST_F(CliSearchTest, MineWritesResultChaptersAndSummarises)
{
    const auto mined = cli({"mine", "--mode", "word", "--books", "all", "笑", "小说/0001_甲书/0002_第二回.xml"});
    ASSERT_EQ(mined.exitCode, 0) << mined.err;
    EXPECT_EQ(mined.out.rfind("searched 1 book, 2 chapters; 3 hits; 1 file written to 小说/0001_甲书/类别/词 in ", 0), 0u)
        << mined.out;
    auto result = library::readChapter(library() / "小说/0001_甲书/类别/词/笑_000.xml", {});
    ASSERT_TRUE(result.ok());
    std::vector<std::u16string> lines;
    for (const auto& paragraph : result->paragraphs)
        lines.push_back(paragraph.text());
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"共找到：3  个", u"[第一回]", u"他笑了", u"她也笑了", u"大笑"}));

    const auto category = cli({"mine", "--mode", "acrostic", "--books", "4", "春风", "小说"});
    ASSERT_EQ(category.exitCode, 0) << category.err;
    EXPECT_EQ(category.out.rfind("searched 2 books, 3 chapters; 2 hits; 2 files written to 小说/类别/藏头诗 in ", 0), 0u)
        << category.out;
    EXPECT_TRUE(fs::exists(library() / "小说/类别/藏头诗/春_000.xml"));
    EXPECT_TRUE(fs::exists(library() / "小说/类别/藏头诗/风_000.xml"));
}

TEST_F(CliSearchTest, MineAgainSendsTheEarlierResultToTheTrash)
{
    ASSERT_EQ(cli({"mine", "--mode", "paragraph", "风，雨、雪,2", "小说/0001_甲书"}).exitCode, 0);
    const std::string before = test::readBytes(library() / "小说/0001_甲书/类别/段/风、雨、雪_000.xml");
    const auto again = cli({"mine", "--mode", "paragraph", "风，雨、冰", "小说/0001_甲书"});
    ASSERT_EQ(again.exitCode, 0);
    EXPECT_NE(again.out.find("0 hits (书中无此信息); nothing written"), std::string::npos) << again.out;
    EXPECT_EQ(test::readBytes(library() / "小说/0001_甲书/类别/段/风、雨、雪_000.xml"), before);
    ASSERT_EQ(cli({"mine", "--mode", "paragraph", "风，雪,2", "小说/0001_甲书"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(library() / "小说/0001_甲书/类别/段/风、雨、雪_000.xml"));
    EXPECT_TRUE(fs::exists(library() / "小说/0001_甲书/类别/段/风、雪_000.xml"));
    bool trashed = false;
    for (const auto& entry : fs::recursive_directory_iterator(m_data / "xdg/Trash"))
        trashed = trashed || (entry.path().filename() == "风、雨、雪_000.xml" && test::readBytes(entry.path()) == before);
    EXPECT_TRUE(trashed);
}

TEST_F(CliSearchTest, MineRefusesBadInputAndNamesUnreadableChapters)
{
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"mine", "--mode", "word", "", "小说"}, 2, "no keyword"},
        {{"mine", "--mode", "paragraph", "，,、", "小说"}, 2, "no keyword"},
        {{"mine", "--mode", "verse", "笑", "小说"}, 2, "--mode is word"},
        {{"mine", "笑", "小说"}, 2, "--mode is needed"},
        {{"mine", "--mode", "word", "--books", "3", "笑", "小说"}, 2, "--books is 1, 4, 10 or all"},
        {{"mine", "--mode", "word", "笑", "小说/0009_无"}, 1, "no such book or folder"},
    };
    for (const auto& c : cases) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(library() / "小说/类别"));

    test::writeBytes(library() / "小说/0001_甲书/0003_坏.xml", "garbage");
    addChapter("小说/0001_甲书/0004_第四回.xml", u"终笑");
    const auto r = cli({"mine", "--mode", "word", "笑", "小说/0001_甲书"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("searched 1 book, 3 chapters; 4 hits;", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("skipped 1 chapter that could not be read:\n  小说/0001_甲书/0003_坏.xml (not a chapter file)\n"),
              std::string::npos)
        << r.out;
}

}  // namespace
}  // namespace veyla
