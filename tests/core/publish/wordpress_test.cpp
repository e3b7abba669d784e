// SPDX-License-Identifier: MIT
// Publishing against a real WordPress on loopback, set up by
// scripts/setup-wordpress (which writes the address and accounts to
// $VEYLA_WORDPRESS_ENV, default /var/tmp/veyla-wordpress.env). Without it
// every test is skipped and says how to set it up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "core/library/chapter_file.h"
#include "core/publish/chapter_publishing.h"
#include "core/text/pinyin_table.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::publish {
namespace {

std::map<std::string, std::string> readEnvironmentFile()
{
    const char* set = std::getenv("VEYLA_WORDPRESS_ENV");
    std::ifstream in(set != nullptr ? set : "/var/tmp/veyla-wordpress.env");
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

// Counts the requests a publisher sends.
class CountingTransport : public platform::HttpTransport {
public:
    explicit CountingTransport(platform::HttpTransport& inner) : m_inner(inner) {}
    Result<platform::HttpResponse> send(const platform::HttpRequest& request,
                                        const platform::HttpCallbacks& callbacks) override
    {
        ++count;
        return m_inner.send(request, callbacks);
    }
    int count = 0;

private:
    platform::HttpTransport& m_inner;
};

class WordPress : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_env = readEnvironmentFile();
        if (m_env["VEYLA_WORDPRESS_URL"].empty())
            GTEST_SKIP() << "WordPress is not set up on this machine (as root: scripts/setup-wordpress)";
        m_transport = platform::makeCurlTransport();
        XmlRpcClient probe(*m_transport, m_env["VEYLA_WORDPRESS_URL"]);
        auto hello = probe.execute("demo.sayHello", XmlRpcValue());
        if (!hello && !probe.isFault() && probe.httpStatus() == 0)
            GTEST_SKIP() << "WordPress at " << m_env["VEYLA_WORDPRESS_URL"] << " does not answer ("
                         << probe.errorText() << "); start it again with scripts/setup-wordpress";
        ASSERT_TRUE(hello.ok()) << probe.errorText();
    }

    BlogLogin login(const std::string& user, const std::string& password) const
    {
        BlogLogin result;
        result.url = m_env.at("VEYLA_WORDPRESS_URL");
        result.user = user;
        result.password = password;
        return result;
    }
    BlogLogin admin() const { return login(m_env.at("VEYLA_WORDPRESS_ADMIN"), m_env.at("VEYLA_WORDPRESS_ADMIN_PASSWORD")); }
    BlogLogin author() const
    {
        return login(m_env.at("VEYLA_WORDPRESS_AUTHOR"), m_env.at("VEYLA_WORDPRESS_AUTHOR_PASSWORD"));
    }

    std::map<std::string, std::string> m_env;
    std::unique_ptr<platform::HttpTransport> m_transport;
};

std::vector<std::u16string> paragraphs(const std::filesystem::path& chapterFile)
{
    auto chapter = library::readChapter(chapterFile, library::ChapterReadOptions{});
    EXPECT_TRUE(chapter.ok());
    std::vector<std::u16string> texts;
    if (!chapter)
        return texts;
    for (const auto& paragraph : chapter->paragraphs) {
        std::u16string text;
        for (const auto& run : paragraph.runs)
            text += run.text;
        texts.emplace_back(utf16::trim(text, u"\r\n"));
    }
    return texts;
}

TEST_F(WordPress, AChapterIsPublishedListedAndFetchedBackIntact)
{
    test::TempDir dir;
    const auto library = dir / "藏书库";
    const auto chapterFile = library / "0001_古典小说" / "0001_西游记" / "0001_第一回 灵根育孕源流出.xml";
    // A corpus chapter, with characters HTML must escape.
    const std::u16string text = test::novelText(3000) + u"\r\n标点 & <尖括号> \"引号\" 'single'\r\n";
    ASSERT_TRUE(library::writeChapterFromText(chapterFile, text, library::TextForm::Import).ok());

    text::PinyinTable pinyin(VEYLA_PINYIN_TABLE);
    BlogPublisher publisher(*m_transport, admin(), &pinyin);
    std::vector<std::u16string> failed;
    output::CodeHtmlOptions options;
    options.colours.codePubMode = output::kSiteWide;
    auto postId = publishChapterFile(publisher, library, chapterFile, options, &failed);
    ASSERT_TRUE(postId.ok()) << publisher.client().errorText();
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(publisher.successes(), 1);

    auto category = publisher.findCategory(u"西游记");
    ASSERT_TRUE(category.ok()) << category.error().detail;
    auto posts = publisher.listPosts(*category);
    ASSERT_TRUE(posts.ok()) << publisher.client().errorText();
    const auto listed = std::find_if(posts->begin(), posts->end(),
                                     [&](const RemotePost& post) { return std::to_string(post.id) == *postId; });
    ASSERT_NE(listed, posts->end()) << "post " << *postId << " is not listed under 西游记";
    EXPECT_EQ(listed->title, u"第一回 灵根育孕源流出");
    auto other = publisher.findCategory(u"古典小说");
    ASSERT_TRUE(other.ok());
    EXPECT_TRUE(publisher.listPosts(*other)->empty()) << "the post is filed under the book, not its folder";

    auto fetched = publisher.fetchPost(listed->id);
    ASSERT_TRUE(fetched.ok()) << publisher.client().errorText();
    EXPECT_EQ(fetched->first, u"第一回 灵根育孕源流出");
    auto written = writeFetchedPost(dir / "取回" / "第一回.xml", fetched->second);
    ASSERT_TRUE(written.ok());
    std::vector<std::u16string> original = paragraphs(chapterFile);
    std::vector<std::u16string> back = paragraphs(*written);
    ASSERT_FALSE(original.empty());
    EXPECT_EQ(back, original);
}

TEST_F(WordPress, AnAuthorMayNotMakeCategoriesAndIsNotAskedAgain)
{
    CountingTransport counting(*m_transport);
    BlogPublisher publisher(counting, author(), nullptr);
    std::vector<std::string> texts;
    publisher.setStatusText([&](std::u16string_view text) { texts.push_back(utf16::toUtf8(text)); });
    auto id = publisher.ensureCategory(u"作者的分类", 0);
    ASSERT_FALSE(id.ok());
    EXPECT_TRUE(publisher.client().isFault());
    EXPECT_EQ(publisher.client().fault().code, 401);
    EXPECT_EQ(counting.count, 1);
    EXPECT_EQ(texts.back(), "创建分类失败： 作者的分类（此账号没有权限做这件事，不再重试）");
}

TEST_F(WordPress, AWrongPasswordIsRefusedAtOnce)
{
    CountingTransport counting(*m_transport);
    BlogPublisher publisher(counting, login(m_env.at("VEYLA_WORDPRESS_ADMIN"), "not the password"), nullptr);
    auto id = publisher.publishPost(u"西游记", u"不会发布", u"<p>x</p>");
    ASSERT_FALSE(id.ok());
    EXPECT_EQ(publisher.client().fault().code, 403);
    EXPECT_EQ(counting.count, 1);
    EXPECT_EQ(publisher.failures(), 1);
}

TEST_F(WordPress, TheCommandLinePublishesABookListsItAndFetchesAPost)
{
    test::TempDir data;
    const auto run = [&](std::vector<std::string> args, std::string_view input = {}) {
        args.insert(args.begin(), {"--data", data.path().string()});
        return test::runProcess(VEYLA_CLI_PATH, args, input);
    };
    const auto book = data / "藏书库" / "0001_名著" / "0002_水浒传";
    ASSERT_TRUE(library::writeChapterFromText(book / "0001_引首.xml", u"话说大宋仁宗天子在位\r\n", library::TextForm::Import).ok());
    ASSERT_TRUE(library::writeChapterFromText(book / "0002_第一回.xml", u"张天师祈禳瘟疫\r\n洪太尉误走妖魔\r\n",
                                              library::TextForm::Import)
                    .ok());
    const std::string address = m_env.at("VEYLA_WORDPRESS_URL");
    const auto added = run({"blog", "add", "本机", address.substr(0, address.find("/xmlrpc.php")),
                            m_env.at("VEYLA_WORDPRESS_ADMIN")},
                           m_env.at("VEYLA_WORDPRESS_ADMIN_PASSWORD") + "\n");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "added 本机 (" + address + ")\n");

    const auto published = run({"publish", "--site", "本机", "0001_名著/0002_水浒传"});
    ASSERT_EQ(published.exitCode, 0) << published.err << published.out;
    EXPECT_NE(published.out.find("成功发布文章： 引首\n"), std::string::npos) << published.out;
    EXPECT_NE(published.out.find("published 2, failed 0\n"), std::string::npos) << published.out;

    const auto listed = run({"blog", "posts", "--site", "本机", "水浒传"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const auto tab = listed.out.find("\t第一回\n");
    ASSERT_NE(tab, std::string::npos) << listed.out;
    const std::size_t lineStart = listed.out.rfind('\n', tab) == std::string::npos ? 0 : listed.out.rfind('\n', tab) + 1;
    const std::string postId = listed.out.substr(lineStart, tab - lineStart);

    const auto fetched = run({"blog", "fetch", "--site", "本机", postId, "取回/第一回.xml"});
    ASSERT_EQ(fetched.exitCode, 0) << fetched.err;
    const auto written = data / "藏书库" / "取回" / "第一回.xml";
    EXPECT_EQ(fetched.out, written.string() + "\n");
    EXPECT_EQ(paragraphs(written), paragraphs(book / "0002_第一回.xml"));
    EXPECT_EQ(run({"blog", "posts", "--site", "本机", "没有这个分类"}).exitCode, 1);
}

}  // namespace
}  // namespace veyla::publish
