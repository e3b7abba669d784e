// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/library/chapter_file.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla {
namespace {

class CliBlog : public ::testing::Test {
protected:
    test::ProcessResult run(std::vector<std::string> args, std::string_view input = {})
    {
        args.insert(args.begin(), {"--data", m_dir.path().string()});
        return test::runProcess(VEYLA_CLI_PATH, args, input);
    }
    std::filesystem::path sitesFile() const { return m_dir / "control/blogSites.ini"; }
    // The "Selected=" line of the site list (stored as UTF-16LE with a byte-order mark).
    std::string selectedLine() const
    {
        const std::string text = utf16::toUtf8(utf16::decodeLittleEndian(test::readBytes(sitesFile()).substr(2)));
        const auto start = text.find("Selected=");
        return start == std::string::npos ? std::string() : text.substr(start, text.find_first_of("\r\n", start) - start);
    }

    test::TempDir m_dir;
};

TEST_F(CliBlog, AddsListsAndRemovesSitesWithThePasswordFromStandardInput)
{
    const auto added = run({"blog", "add", "我的博客", " blog.example.org ", "作者"}, "s3cret word\n");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "added 我的博客 (http://blog.example.org/xmlrpc.php)\n");
    ASSERT_EQ(run({"blog", "add", "--type", "metaweblog", "--self-signed", "cn", "https://rpc.example/me", "me"}, "p\n")
                  .exitCode,
              0);
    struct stat info {};
    ASSERT_EQ(::stat(sitesFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const std::string stored = test::readBytes(sitesFile());
    // The first site added is the one the desktop app publishes to.
    EXPECT_EQ(selectedLine(), "Selected=0");
    EXPECT_EQ(run({"blog", "list"}).out,
              "我的博客\tWordpress\t blog.example.org \t作者\ncn\tMetaWeblog\thttps://rpc.example/me\tme\tself-signed\n");
    // The password never shows, and it is not on any command line.
    EXPECT_EQ(run({"blog", "list"}).out.find("s3cret"), std::string::npos);

    const auto twice = run({"blog", "add", "cn", "x", "y"}, "p\n");
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_EQ(test::readBytes(sitesFile()), stored);

    ASSERT_EQ(run({"blog", "remove", "cn"}).exitCode, 0);
    EXPECT_EQ(run({"blog", "list"}).out, "我的博客\tWordpress\t blog.example.org \t作者\n");
    EXPECT_EQ(selectedLine(), "Selected=0") << "removing another site keeps the choice";
    EXPECT_EQ(run({"blog", "remove", "cn"}).exitCode, 1);
}

TEST_F(CliBlog, BadInputGetsOneLineAndChangesNothing)
{
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string message;
    };
    const Case cases[] = {
        {{"blog", "add", "a", "", "u"}, "p\n", "网址、用户名、密码均不能为空"},
        {{"blog", "add", "a", "host", "u"}, "", "no password was given"},
        {{"blog", "add", "a", "http://host:0/x", "u"}, "p\n", "输入网站不正确或此网站不支持"},
        {{"blog", "add", "--type", "blogger", "a", "h", "u"}, "p\n", "--type is wordpress or metaweblog"},
        {{"publish", "--site", "none", "nothing.xml"}, "", "nothing.xml: no such chapter or folder"},
        {{"blog", "posts", "--site", "none", "分类"}, "", "no site named none"},
        {{"blog", "fetch", "--site", "none", "x1", "a.xml"}, "", "fetch expects --site NAME POST-ID PATH"},
    };
    for (const auto& c : cases) {
        const auto r = run(c.args, c.input);
        EXPECT_NE(r.exitCode, 0) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(sitesFile())) << c.message;
    }
}

TEST_F(CliBlog, APasswordFileOthersCanReadIsRefusedAndNamed)
{
    ASSERT_EQ(run({"blog", "add", "a", "host", "u"}, "p\n").exitCode, 0);
    ASSERT_EQ(::chmod(sitesFile().c_str(), 0640), 0);
    const std::string before = test::readBytes(sitesFile());
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"blog", "list"}, {"blog", "add", "b", "h", "u"}, {"publish", "--site", "a", "0001_第一回.xml"}}) {
        test::writeBytes(m_dir / "藏书库/0001_第一回.xml", "");
        const auto r = run(args, "p\n");
        EXPECT_EQ(r.exitCode, 1) << args[1];
        EXPECT_NE(r.err.find(sitesFile().string()), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("0640"), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::readBytes(sitesFile()), before);
}

TEST_F(CliBlog, PublishingToAServerThatIsDownSaysSoAndCountsTheFailure)
{
    ASSERT_EQ(run({"blog", "add", "--type", "metaweblog", "down", "http://127.0.0.1:9/rpc", "u"}, "p\n").exitCode, 0);
    ASSERT_TRUE(library::writeChapterFromText(m_dir / "藏书库/书/0001_第一回.xml", u"正文\r\n", library::TextForm::Import)
                    .ok());
    test::writeBytes(m_dir / "藏书库/书/0002_坏.xml", "not a chapter");
    const auto r = run({"publish", "--site", "down", "书"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Failed to connect"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("0002_坏.xml: cannot be read"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("正在尝试 第 11 次发布第一回\n发布文章失败： 第一回（Failed to connect ("), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("published 0, failed 2\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace veyla
