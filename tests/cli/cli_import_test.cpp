// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>

#include "core/util/code_page.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

// Runs veyla-cli on a private data folder, with inputs in a folder of their own.
class CliImportTest : public ::testing::Test {
protected:
    test::ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", (m_dir / "data").string()});
        return test::runProcess(VEYLA_CLI_PATH, args);
    }
    fs::path library() const { return m_dir / "data" / "藏书库"; }
    fs::path input(const std::string& name, std::string_view bytes)
    {
        const fs::path path = m_dir / "in" / name;
        test::writeBytes(path, bytes);
        return path;
    }
    // A novel of three chapters with 第N章 headings, long enough to be split.
    static std::u16string novel()
    {
        std::u16string text = u"书名\n";
        for (const char16_t* heading : {u"第一章　开始", u"第二章　经过", u"第三章　结局"}) {
            text += std::u16string(heading) + u"\n";
            for (int i = 0; i < 200; ++i)
                text += u"　　这是一段足够长的正文，用来让小说超过两万字的界限，好让它分成章节。\n";
        }
        return text;
    }
    std::vector<std::string> listing(const fs::path& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::map<fs::path, std::string> snapshot(const fs::path& root) const
    {
        std::map<fs::path, std::string> files;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
             ++it)
            files[it->path()] = it->is_regular_file() ? test::readBytes(it->path()) : "<dir>";
        return files;
    }

    test::TempDir m_dir;
};

TEST_F(CliImportTest, ImportWritesTheBookAndReportsIt)
{
    const fs::path file = input("我的小说.txt", utf16::toUtf8(novel()));
    const auto result = cli({"import", "--into", "小说", file.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("小说/我的小说"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("prefix \"第\", suffix \"章\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("chapters: 3 files"), std::string::npos) << result.out;
    EXPECT_EQ(listing(library() / "小说/我的小说"),
              (std::vector<std::string>{"0001_第一章开始.xml", "0002_第二章经过.xml", "0003_第三章结局.xml"}));
    // Importing again never overwrites the first book.
    ASSERT_EQ(cli({"import", "--into", "小说", file.string()}).exitCode, 0);
    EXPECT_TRUE(fs::exists(library() / "小说/我的小说 (2)/0001_第一章开始.xml"));
}

TEST_F(CliImportTest, EncodingsGiveIdenticalChapterFiles)
{
    const std::u16string text = novel();
    const std::string encodings[][2] = {
        {"utf8", utf16::toUtf8(text)},
        {"utf16", "\xFF\xFE" + utf16::encodeLittleEndian(text)},
        {"gbk", encodeCodePage(text)},
    };
    for (const auto& [name, bytes] : encodings)
        ASSERT_EQ(cli({"import", "--into", name, input(name + "/书.txt", bytes).string()}).exitCode, 0) << name;
    const auto reference = snapshot(library() / "utf8/书");
    ASSERT_EQ(reference.size(), 3u);
    for (const char* name : {"utf16", "gbk"}) {
        const auto other = snapshot(library() / name / "书");
        ASSERT_EQ(other.size(), reference.size()) << name;
        for (auto a = reference.begin(), b = other.begin(); a != reference.end(); ++a, ++b) {
            EXPECT_EQ(a->first.filename(), b->first.filename()) << name;
            EXPECT_EQ(a->second, b->second) << name;
        }
    }
}

TEST_F(CliImportTest, BadInputFailsWithOneLineAndWritesNothing)
{
    std::string random;
    unsigned state = 12345;
    for (int i = 0; i < 30000; ++i) {
        state = state * 1103515245u + 12345u;
        random.push_back(static_cast<char>(state >> 16));
    }
    const fs::path cases[] = {
        m_dir / "in/missing.txt",
        input("empty.txt", ""),
        input("random.txt", random),
        input("bad-mark.txt", "\xEF\xBB" "abc"),
        input("not-a-zip.epub", "this is not a zip archive"),
    };
    for (const auto& path : cases) {
        const auto result = cli({"import", path.string()});
        EXPECT_EQ(result.exitCode, 1) << path;
        EXPECT_EQ(result.err.rfind("veyla-cli: import: ", 0), 0u) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
    EXPECT_TRUE(!fs::exists(library()) || fs::is_empty(library()));
    EXPECT_EQ(listing(m_dir / "in"), (std::vector<std::string>{"bad-mark.txt", "empty.txt", "not-a-zip.epub",
                                                                "random.txt"}));
}

TEST_F(CliImportTest, TruncatedGbkImportsWithAWarning)
{
    std::string bytes = encodeCodePage(novel() + u"完");
    bytes.pop_back();  // cut the last two-byte character in half
    const auto result = cli({"import", input("cut.txt", bytes).string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("warning:  the last character is cut off"), std::string::npos) << result.out;
}

TEST_F(CliImportTest, FoldersBecomeFoldersOfBooks)
{
    input("novels/a.txt", utf16::toUtf8(novel()));
    input("novels/b/c.TXT", utf16::toUtf8(novel()));  // ".txt" is looked for in lower case only
    input("novels/notes.md", "x");
    const auto result = cli({"import", (m_dir / "in/novels").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(listing(library() / "novels"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(fs::is_empty(library() / "novels/b"));
}

TEST_F(CliImportTest, SplitDryRunShowsThePlanAndWritesNothing)
{
    const auto result = cli({"split", "--dry-run", input("书.txt", utf16::toUtf8(novel())).string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("encoding: UTF-8\n"), std::string::npos);
    EXPECT_NE(result.out.find("书/0002_第二章经过.xml  第二章　经过"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("3 chapter files"), std::string::npos);
    EXPECT_FALSE(fs::exists(library() / "书"));
    EXPECT_FALSE(fs::exists(m_dir / "data"));  // not even the data folder is made
    EXPECT_EQ(cli({"split", input("x.txt", "abc").string()}).exitCode, 2);  // --dry-run is required
}

TEST_F(CliImportTest, TreeShowsTheImportedBook)
{
    ASSERT_EQ(cli({"import", "--into", "小说", input("书.txt", utf16::toUtf8(novel())).string()}).exitCode, 0);
    const auto result = cli({"tree"});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("└── 小说\n    └── 书\n        ├── 第一章开始\n"), std::string::npos) << result.out;
    EXPECT_EQ(cli({"tree", "nowhere"}).exitCode, 1);
}

}  // namespace
}  // namespace veyla
