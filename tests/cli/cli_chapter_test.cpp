// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>

#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

// Runs veyla-cli on a private data folder.
class CliTest : public ::testing::Test {
protected:
    test::ProcessResult cli(std::vector<std::string> args, std::string_view input = {})
    {
        args.insert(args.begin(), {"--data", m_data.path().string()});
        return test::runProcess(VEYLA_CLI_PATH, args, input);
    }
    fs::path library() const { return m_data / "藏书库"; }

    // Every file under the data folder with its bytes, to prove nothing changed.
    std::map<fs::path, std::string> snapshot() const
    {
        std::map<fs::path, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(m_data.path())) {
            if (entry.is_regular_file())
                files[entry.path()] = test::readBytes(entry.path());
            else
                files[entry.path()] = "<dir>";
        }
        return files;
    }

    test::TempDir m_data;
};

TEST_F(CliTest, HelpAndVersion)
{
    const auto help = cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"cat", "new", "append"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    const auto catHelp = cli({"cat", "--help"});
    EXPECT_EQ(catHelp.exitCode, 0);
    EXPECT_NE(catHelp.out.find("usage: veyla-cli cat CHAPTER.xml"), std::string::npos);
    const auto version = cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("veyla-cli ", 0), 0u);
}

TEST_F(CliTest, NewCatAndAppendWorkTogether)
{
    const std::string chapter = "小说/西游记/0001_第一回.xml";
    auto made = cli({"new", chapter}, "第一回　灵根育孕源流出\n\n　　诗曰：混沌未分天地乱 <&>\n");
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(fs::exists(library() / chapter));

    auto appended = cli({"append", chapter}, "后记\n");
    ASSERT_EQ(appended.exitCode, 0) << appended.err;

    auto shown = cli({"cat", chapter});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out, "第一回　灵根育孕源流出\n诗曰：混沌未分天地乱 <&>\n后记\n");
}

TEST_F(CliTest, CatStripsTheCarriageReturnOfCrLfText)
{
    ASSERT_EQ(cli({"new", "a/b/0001_x.xml"}, "one\r\ntwo\r\n").exitCode, 0);
    EXPECT_EQ(cli({"cat", "a/b/0001_x.xml"}).out, "one\ntwo\n");
}

TEST_F(CliTest, BadInputFailsWithOneLineAndChangesNothing)
{
    ASSERT_EQ(cli({"new", "book/0001_keep.xml"}, "keep me\n").exitCode, 0);
    test::writeBytes(library() / "book/0002_other.xml", "not a chapter");
    const auto before = snapshot();

    struct Case {
        std::vector<std::string> args;
        std::string input;
        int exitCode;
    };
    const Case cases[] = {
        {{"cat", "book/missing.xml"}, "", 1},
        {{"cat", "book/0002_other.xml"}, "", 1},
        {{"append", "book/0002_other.xml"}, "more\n", 1},
        {{"append", "book/missing.xml"}, "more\n", 1},
        {{"new", "book/0001_keep.xml"}, "replace\n", 1},  // exists, no --force
        {{"new", "book/no-extension"}, "x\n", 2},
        {{"new", "book/0002_other.xml/0001_x.xml"}, "x\n", 1},  // a file stands where a folder must go
        {{"cat"}, "", 2},
        {{"cat", "--bogus", "x.xml"}, "", 2},
        {{"frobnicate"}, "", 2},
    };
    for (const auto& c : cases) {
        const auto result = cli(c.args, c.input);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0];
        ASSERT_FALSE(result.err.empty()) << c.args[0];
        EXPECT_EQ(result.err.rfind("veyla-cli: ", 0), 0u) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "not one line: " << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CliTest, UnwritableFolderFailsCleanly)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    fs::create_directories(library() / "locked");
    fs::permissions(library() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const auto result = cli({"new", "locked/0001_x.xml"}, "text\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(fs::exists(library() / "locked/0001_x.xml"));
    fs::permissions(library() / "locked", fs::perms::owner_all);
}

TEST_F(CliTest, CatShowsWhatItCouldReadAndWarnsOnOneLine)
{
    const auto chapterBytes = [](std::u16string_view body) {
        return utf16::encodeLittleEndian(u"<Page>\r\n<Body Type=\"C1\">\r\n" + std::u16string(body) +
                                         u"</Body>\r\n</Page>\r\n");
    };
    struct Case {
        const char* name;
        std::string bytes;
        std::string out;
        int exitCode;
    };
    const Case cases[] = {
        {"unterminated CDATA", chapterBytes(u"<Chunk Type=\"R1\"><Chunk>甲</Chunk></Chunk><Chunk Type=\"R1\"><Chunk><![CDATA[未完"),
         "甲\n未完\n", 1},
        {"mixed text", chapterBytes(u"<Chunk Type=\"R1\">前<Chunk>中</Chunk>后</Chunk>"), "前中后\n", 1},
        // Nothing lost: an empty CDATA paragraph is no problem.
        {"empty CDATA paragraph", chapterBytes(u"<Chunk><Chunk><![CDATA[]]></Chunk></Chunk><Chunk><Chunk>乙</Chunk></Chunk>"),
         "乙\n", 0},
    };
    for (const auto& c : cases) {
        test::writeBytes(library() / "book/0001_x.xml", c.bytes);
        const auto result = cli({"cat", "book/0001_x.xml"});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(result.out, c.out) << c.name;
        if (c.exitCode == 0) {
            EXPECT_TRUE(result.err.empty()) << c.name << ": " << result.err;
        } else {
            EXPECT_EQ(result.err.rfind("veyla-cli: cat: warning: ", 0), 0u) << result.err;
            EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "not one line: " << result.err;
        }
        EXPECT_EQ(test::readBytes(library() / "book/0001_x.xml"), c.bytes) << c.name;
    }
}

TEST_F(CliTest, ForceReplacesAnExistingChapter)
{
    ASSERT_EQ(cli({"new", "b/0001_x.xml"}, "old\n").exitCode, 0);
    ASSERT_EQ(cli({"new", "--force", "b/0001_x.xml"}, "new\n").exitCode, 0);
    EXPECT_EQ(cli({"cat", "b/0001_x.xml"}).out, "new\n");
}

}  // namespace
}  // namespace veyla
