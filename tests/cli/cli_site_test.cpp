// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

class CliSiteTest : public ::testing::Test {
protected:
    test::ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", m_data.path().string()});
        return test::runProcess(VEYLA_CLI_PATH, args, {}, {"XDG_DATA_HOME=" + (m_data / "xdg").string()});
    }
    fs::path html(const std::string& relative) const { return m_data / "HTML" / fs::u8path(relative); }
    std::string pageText(const fs::path& page) const
    {
        const std::string bytes = test::readBytes(page);
        return utf16::toUtf8(utf16::decodeLittleEndian(bytes.substr(2)));
    }

    test::TempDir m_data;
};

TEST_F(CliSiteTest, ImportedNovelBecomesASiteThatLoadsItsScriptsLocally)
{
    VEYLA_REQUIRE_CORPUS();
    const auto imported =
        cli({"import", "--into", "小说", test::corpusFile("zh/aq_zhengzhuan_pg25332.simplified.txt").string()});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    std::string book;
    for (const auto& entry : fs::directory_iterator(m_data / "藏书库" / "小说"))
        book = "小说/" + entry.path().filename().string();
    ASSERT_FALSE(book.empty());
    std::size_t chapters = 0;
    for (const auto& entry : fs::directory_iterator(m_data / "藏书库" / fs::u8path(book)))
        chapters += entry.path().extension() == ".xml" ? 1 : 0;
    ASSERT_GT(chapters, 3u);

    const auto site = cli({"site", book});
    ASSERT_EQ(site.exitCode, 0) << site.err;
    EXPECT_EQ(site.out.rfind(std::to_string(chapters) + " pages written, 0 kept (already there), 5 index pages, 0 failed", 0), 0u)
        << site.out;
    const fs::path index = html("藏书库/" + book + "/目录.html");
    EXPECT_NE(site.out.find("index page: " + index.string()), std::string::npos);
    // The page scripts came with the program; font.js was rewritten as UTF-16 with a byte-order mark.
    for (const char* file : {"vue.js", "element_lib/index.js", "element_lib/theme-chalk/index.css",
                             "jquery-3.5.0.min.js", "myVueCode.js", "myCss/common.css", "comp/comp_headBtns.js"})
        EXPECT_TRUE(fs::exists(m_data / "HTML/js" / file)) << file;
    EXPECT_EQ(test::readBytes(m_data / "HTML/js/font.js").substr(0, 2), std::string("\xFF\xFE", 2));

    // Again: every chapter page is kept, the index pages are written anew.
    const auto again = cli({"site", book});
    EXPECT_EQ(again.out.rfind("0 pages written, " + std::to_string(chapters) + " kept", 0), 0u) << again.out;

    const auto whole = cli({"site", "--whole", "--page-size", "3", book});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const std::size_t parts = (chapters + 2) / 3;
    EXPECT_EQ(whole.out.rfind(std::to_string(parts) + " pages written", 0), 0u) << whole.out;
    EXPECT_NE(pageText(index).find("_全集01.html"), std::string::npos);
}

TEST_F(CliSiteTest, PagesTakeTheirRemoteAddressesFromThePublisherSiteSetting)
{
    ASSERT_TRUE(library::writeChapterFromText(m_data / "藏书库/书/0001_一.xml", u"正文\r\n", library::TextForm::Import)
                    .ok());
    const auto before = cli({"site", "书"});
    ASSERT_EQ(before.exitCode, 0) << before.err;
    EXPECT_NE(pageText(html("藏书库/书/0001_一.html")).find("https://orvanta.example/js/comp/comp_headBtns.js"),
              std::string::npos);

    test::writeBytes(m_data / "control/preSet.ini", "[Update]\nSite=https://books.example.org/\n");
    fs::remove(html("藏书库/书/0001_一.html"));
    const auto after = cli({"site", "书"});
    ASSERT_EQ(after.exitCode, 0) << after.err;
    const std::string page = pageText(html("藏书库/书/0001_一.html"));
    EXPECT_NE(page.find("https://books.example.org/js/comp/comp_headBtns.js"), std::string::npos);
    EXPECT_EQ(page.find("orvanta.example"), std::string::npos);
}

TEST_F(CliSiteTest, RefusesWhatItCannotDo)
{
    EXPECT_EQ(cli({"site"}).exitCode, 2);
    EXPECT_EQ(cli({"site", "--page-size", "0", "小说"}).exitCode, 2);
    EXPECT_EQ(cli({"site", "--frobnicate", "小说"}).exitCode, 2);
    const auto missing = cli({"site", "小说/无此书"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("not in the library"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(m_data / "HTML/总书目.html"));
}

TEST_F(CliSiteTest, AnnotatePrintsEachLineWithGlosses)
{
    test::writeBytes(m_data / "text.txt", "Tom studied  the\tbooks, x<y & z.\n中文没有空格\n");
    const auto annotated = cli({"annotate", (m_data / "text.txt").string()});
    ASSERT_EQ(annotated.exitCode, 0) << annotated.err;
    EXPECT_EQ(annotated.out.find("Tom <strong data-explanation=\"("), 0u) << annotated.out;
    EXPECT_NE(annotated.out.find(">studied</strong> the <strong data-explanation="), std::string::npos);
    EXPECT_NE(annotated.out.find(" x&lt;y &amp; z.\n"), std::string::npos) << annotated.out;
    EXPECT_NE(annotated.out.find("\n中文没有空格\n"), std::string::npos);
    EXPECT_EQ(cli({"annotate"}).exitCode, 2);
    EXPECT_EQ(cli({"annotate", (m_data / "none.txt").string()}).exitCode, 1);
}

}  // namespace
}  // namespace veyla
