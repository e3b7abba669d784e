// SPDX-License-Identifier: MIT
#include "core/publish/blog_publisher.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/publish/chapter_publishing.h"
#include "core/text/pinyin_table.h"
#include "core/util/utf16.h"
#include "fake_transport.h"
#include "support/test_support.h"

namespace veyla::publish {
namespace {

using test::FakeTransport;

std::string u8(std::u16string_view text)
{
    return utf16::toUtf8(text);
}

BlogLogin wordpress()
{
    BlogLogin login;
    login.url = "http://127.0.0.1:8080/xmlrpc.php";
    login.user = "editor";
    login.password = "secret";
    return login;
}

struct Recorder {
    std::vector<std::string> texts;
    BlogPublisher::StatusText sink()
    {
        return [this](std::u16string_view text) { texts.push_back(u8(text)); };
    }
};

TEST(BlogAddress, FollowsTheHttpAndXmlRpcRules)
{
    struct Case {
        std::u16string typed;
        BlogType type;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"blog.example.org", BlogType::WordPress, u"http://blog.example.org/xmlrpc.php"},
        {u"\u3000 blog.example.org/ ", BlogType::WordPress, u"http://blog.example.org/xmlrpc.php"},
        {u"http://blog.example.org/wp/xmlrpc.php", BlogType::WordPress, u"http://blog.example.org/wp/xmlrpc.php"},
        {u"https://blog.example.org", BlogType::WordPress, u"https://blog.example.org/xmlrpc.php"},
        {u"HTTPS://blog.example.org", BlogType::WordPress, u"HTTPS://blog.example.org/xmlrpc.php"},
        {u"rpc.cnblogs.com/metaweblog/me", BlogType::MetaWeblog, u"http://rpc.cnblogs.com/metaweblog/me"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(u8(blogEndpointAddress(c.typed, c.type)), u8(c.expected)) << u8(c.typed);
}

TEST(BlogAddress, EmptyFieldsAndUnusableAddressesAreRefused)
{
    struct Case {
        BlogSite site;
        const char* error;
    };
    const Case cases[] = {
        {{BlogType::WordPress, u"a", u"", u"u", u"p", false}, "网址、用户名、密码均不能为空"},
        {{BlogType::WordPress, u"a", u"\u3000 ", u"u", u"p", false}, "网址、用户名、密码均不能为空"},
        {{BlogType::WordPress, u"a", u"host", u" ", u"p", false}, "网址、用户名、密码均不能为空"},
        {{BlogType::WordPress, u"a", u"host", u"u", u"", false}, "网址、用户名、密码均不能为空"},
        {{BlogType::WordPress, u"a", u"host:99999", u"u", u"p", false}, "输入网站不正确或此网站不支持"},
        {{BlogType::MetaWeblog, u"a", u"http://", u"u", u"p", false}, "输入网站不正确或此网站不支持"},
    };
    for (const auto& c : cases) {
        auto login = blogLogin(c.site);
        ASSERT_FALSE(login.ok()) << u8(c.site.address);
        EXPECT_EQ(login.error().detail, c.error) << u8(c.site.address);
    }
    auto login = blogLogin({BlogType::WordPress, u"a", u" 127.0.0.1:8080 ", u"\u3000作者 ", u" pass ", true});
    ASSERT_TRUE(login.ok());
    EXPECT_EQ(login->url, "http://127.0.0.1:8080/xmlrpc.php");
    EXPECT_EQ(login->user, "作者");
    EXPECT_EQ(login->password, " pass ");
    EXPECT_TRUE(login->acceptSelfSignedCertificate);
}

TEST(BlogNames, TitlesAndCategoriesLoseTheirOrderPrefix)
{
    EXPECT_EQ(u8(withoutOrderPrefix(u"0001_第一回")), "第一回");
    EXPECT_EQ(u8(withoutOrderPrefix(u"_leading")), "_leading");
    EXPECT_EQ(u8(withoutOrderPrefix(u"a_b_c")), "b_c");
    EXPECT_EQ(u8(postTitleOf("/lib/藏书库/小说/0002_西游记/0001_第一回 灵根育孕.xml")), "第一回 灵根育孕");

    const std::filesystem::path root = "/lib/藏书库";
    struct Case {
        std::filesystem::path chapter;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {root / "0001_小说/0002_西游记/0001_第一回.xml", {u"小说", u"西游记"}},
        {root / "西游记/0001_第一回.xml", {u"西游记"}},
        {root / "0001_第一回.xml", {u"默认顶层"}},
    };
    for (const auto& c : cases) {
        auto path = blogCategoryPath(root, c.chapter);
        ASSERT_TRUE(path.ok());
        EXPECT_EQ(*path, c.expected) << c.chapter;
    }
    EXPECT_FALSE(blogCategoryPath(root, "/elsewhere/0001_x.xml").ok());
}

TEST(BlogPublisher, APostThatFailsOnceSucceedsOnTheSecondAttempt)
{
    FakeTransport transport;
    transport.fail(ErrorCode::TimedOut, "no data received in time");
    transport.answer(FakeTransport::result("<value><string>42</string></value>"));
    BlogPublisher publisher(transport, wordpress(), nullptr);
    Recorder status;
    publisher.setStatusText(status.sink());
    auto id = publisher.publishPost(u"西游记", u"第一回", u"<p>正文</p>");
    ASSERT_TRUE(id.ok());
    EXPECT_EQ(*id, "42");
    EXPECT_EQ(publisher.successes(), 1);
    EXPECT_EQ(publisher.failures(), 0);
    EXPECT_EQ(status.texts, (std::vector<std::string>{"success: 0   failed: 0  正在发布文章第一回",
                                                      "正在尝试 第 2 次发布第一回", "成功发布文章： 第一回"}));
    ASSERT_EQ(transport.requests.size(), 2u);
    EXPECT_EQ(transport.requests[0].body, transport.requests[1].body);
    EXPECT_EQ(transport.requests[0].body,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<methodCall><methodName>metaWeblog.newPost</methodName>"
              "\r\n<params><param><value><string>True</string></value></param><param><value><string>editor</string>"
              "</value></param><param><value><string>secret</string></value></param><param><value><struct><member>"
              "<name>categories</name><value><array><data><value><string>西游记</string></value></data></array>"
              "</value></member><member><name>description</name><value><string>&lt;p&gt;正文&lt;/p&gt;</string>"
              "</value></member><member><name>title</name><value><string>第一回</string></value></member></struct>"
              "</value>\n</param><param><value><boolean>1</boolean></value></param></params></methodCall>\r\n");
}

TEST(BlogPublisher, ElevenFailedAttemptsCountOneFailure)
{
    FakeTransport transport;
    for (int i = 0; i < 12; ++i)
        transport.answer("busy", 503, "Service Unavailable");
    BlogPublisher publisher(transport, wordpress(), nullptr);
    Recorder status;
    publisher.setStatusText(status.sink());
    EXPECT_FALSE(publisher.publishPost(u"c", u"t", u"x").ok());
    EXPECT_EQ(transport.requests.size(), 11u);
    EXPECT_EQ(publisher.failures(), 1);
    EXPECT_EQ(publisher.successes(), 0);
    EXPECT_EQ(status.texts.at(10), "正在尝试 第 11 次发布t");
    EXPECT_EQ(status.texts.back(), "发布文章失败： t（Low level (HTTP) error: 503 Service Unavailable）");
}

TEST(BlogPublisher, ARefusedLoginOrPermissionIsNotRetried)
{
    struct Case {
        int fault;
        const char* text;
    };
    const Case cases[] = {
        {403, "发布文章失败： t（用户名或密码不正确，不再重试）"},
        {401, "发布文章失败： t（此账号没有权限做这件事，不再重试）"},
    };
    for (const auto& c : cases) {
        FakeTransport transport;
        transport.answer(FakeTransport::fault(c.fault, "no"));
        BlogPublisher publisher(transport, wordpress(), nullptr);
        Recorder status;
        publisher.setStatusText(status.sink());
        auto id = publisher.publishPost(u"c", u"t", u"x");
        EXPECT_EQ(id.code(), ErrorCode::NetworkFailed);
        EXPECT_EQ(transport.requests.size(), 1u);
        EXPECT_EQ(status.texts.back(), c.text);
        EXPECT_EQ(publisher.failures(), 1);
    }
}

TEST(BlogPublisher, AStopEndsTheRetriesWithoutAText)
{
    FakeTransport transport;
    std::atomic<bool> stop = false;
    transport.script.push_back([&](const platform::HttpRequest&) -> Result<platform::HttpResponse> {
        stop = true;
        return FakeTransport::xml("busy", 503, "Service Unavailable");
    });
    BlogPublisher publisher(transport, wordpress(), nullptr);
    publisher.setStopFlag(&stop);
    Recorder status;
    publisher.setStatusText(status.sink());
    EXPECT_FALSE(publisher.publishPost(u"c", u"t", u"x").ok());
    EXPECT_EQ(transport.requests.size(), 1u);
    EXPECT_EQ(status.texts, (std::vector<std::string>{"success: 0   failed: 0  正在发布文章t"}));
    EXPECT_EQ(publisher.failures(), 0);
}

TEST(BlogPublisher, CategoriesGetPinyinSlugsAndAreMadeOncePerRun)
{
    text::PinyinTable pinyin(VEYLA_PINYIN_TABLE);
    FakeTransport transport;
    transport.answer(FakeTransport::result("<value><int>7</int></value>"));
    transport.answer(FakeTransport::result("<value><string>12</string></value>"));
    BlogPublisher publisher(transport, wordpress(), &pinyin);
    Recorder status;
    publisher.setStatusText(status.sink());
    EXPECT_EQ(publisher.ensureCategories({u"小说", u"西游记"}), 12);
    EXPECT_EQ(publisher.ensureCategories({u"小说", u"西游记"}), 12);
    ASSERT_EQ(transport.requests.size(), 2u);
    const std::string& first = transport.requests[0].body;
    EXPECT_NE(first.find("<name>slug</name><value><string>xiaoshuo</string>"), std::string::npos) << first;
    EXPECT_NE(first.find("<name>parent_id</name><value><i4>0</i4>"), std::string::npos) << first;
    EXPECT_NE(first.find("<methodName>wp.newCategory</methodName>\r\n<params><param><value><string></string>"),
              std::string::npos);
    const std::string& second = transport.requests[1].body;
    EXPECT_NE(second.find("<string>xiyouji</string>"), std::string::npos) << second;
    EXPECT_NE(second.find("<name>parent_id</name><value><i4>7</i4>"), std::string::npos) << second;
    EXPECT_EQ(status.texts, (std::vector<std::string>{"正在创建分类：小说", "创建分类成功： 小说",
                                                      "正在创建分类：西游记", "创建分类成功： 西游记"}));
}

TEST(BlogPublisher, ACategoryIdIsReadFromWhicheverKindTheServerSends)
{
    struct Case {
        const char* answer;
        std::optional<int> id;  // nullopt: no usable id
    };
    const Case cases[] = {
        {"<value><int>7</int></value>", 7},
        {"<value><string>12</string></value>", 12},
        {"<value><string>42abc</string></value>", 42},
        {"<value><string>2147483647</string></value>", 2147483647},
        {"<value><string>99999999999</string></value>", std::nullopt},
        {"<value><double>3.9</double></value>", 3},
        {"<value><double>1e300</double></value>", std::nullopt},
        {"<value><double>nan</double></value>", std::nullopt},
        {"<value><boolean>1</boolean></value>", 1},
        {"<value><string>abc</string></value>", std::nullopt},
        {"<value><array><data/></array></value>", std::nullopt},
    };
    for (const auto& c : cases) {
        FakeTransport transport;
        transport.answer(FakeTransport::result(c.answer));
        BlogPublisher publisher(transport, wordpress(), nullptr);
        const auto id = publisher.ensureCategory(u"书", 0);
        EXPECT_EQ(id.ok(), c.id.has_value()) << c.answer;
        if (id.ok() && c.id)
            EXPECT_EQ(*id, *c.id) << c.answer;
        EXPECT_EQ(transport.requests.size(), 1u) << c.answer;
    }
}

TEST(BlogPublisher, AFailedCategoryCountsAsZeroAndIsReported)
{
    FakeTransport transport;
    transport.answer(FakeTransport::fault(401, "Sorry, you are not allowed to add a category."));
    transport.answer(FakeTransport::result("<value><int>9</int></value>"));
    BlogPublisher publisher(transport, wordpress(), nullptr);
    std::vector<std::u16string> failed;
    EXPECT_EQ(publisher.ensureCategories({u"Top", u"Book"}, &failed), 9);
    EXPECT_EQ(failed, std::vector<std::u16string>{u"Top"});
    ASSERT_EQ(transport.requests.size(), 2u);
    EXPECT_NE(transport.requests[1].body.find("<name>parent_id</name><value><i4>0</i4>"), std::string::npos);
}

TEST(BlogPublisher, ListsOnlyThePostsFiledUnderTheCategory)
{
    auto post = [](int id, const char* title, int term) {
        return "<value><struct><member><name>post_id</name><value><string>" + std::to_string(id) +
               "</string></value></member><member><name>post_title</name><value><string>" + title +
               "</string></value></member><member><name>terms</name><value><array><data><value><struct>"
               "<member><name>term_id</name><value><string>" + std::to_string(term) +
               "</string></value></member><member><name>taxonomy</name><value><string>category</string></value>"
               "</member></struct></value></data></array></value></member></struct></value>";
    };
    FakeTransport transport;
    transport.answer(FakeTransport::result("<value><array><data>" + post(5, "第一回", 3) + post(6, "other", 4) +
                                           post(8, "第二回 | 续", 3) + "</data></array></value>"));
    BlogPublisher publisher(transport, wordpress(), nullptr);
    auto posts = publisher.listPosts(3);
    ASSERT_TRUE(posts.ok()) << posts.error().detail;
    ASSERT_EQ(posts->size(), 2u);
    EXPECT_EQ((*posts)[0].id, 5);
    EXPECT_EQ(u8((*posts)[0].title), "第一回");
    EXPECT_EQ(u8((*posts)[1].title), "第二回 | 续");
    const std::string& body = transport.requests[0].body;
    EXPECT_NE(body.find("<methodName>wp.getPosts</methodName>\r\n<params><param><value><i4>1</i4>"),
              std::string::npos);
    EXPECT_NE(body.find("<name>category</name><value><i4>3</i4>"), std::string::npos);
    EXPECT_NE(body.find("<name>order</name><value><string>ASC</string>"), std::string::npos);
    EXPECT_NE(body.find("<name>orderby</name><value><string>post_date</string>"), std::string::npos);
    EXPECT_NE(body.find("<value><string>post_id</string></value><value><string>post_title</string></value>"),
              std::string::npos);

    // The list cache keeps the titles, "|" included, and the ids.
    veyla::test::TempDir dir;
    ASSERT_TRUE(writePostListCache(dir / "远程/分类", *posts).ok());
    const std::string bytes = veyla::test::readBytes(dir / "远程/分类/0.txt");
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(utf16::decodeLittleEndian(bytes.substr(2)), u"第一回|5\r\n第二回 | 续|8\r\n");
    auto cached = readPostListCache(dir / "远程/分类");
    ASSERT_TRUE(cached.has_value());
    ASSERT_EQ(cached->size(), 2u);
    EXPECT_EQ((*cached)[1].id, 8);
    EXPECT_EQ(u8((*cached)[1].title), "第二回 | 续");
    veyla::test::writeBytes(dir / "0.txt", "no mark|1\r\n");
    EXPECT_FALSE(readPostListCache(dir.path()).has_value());
}

TEST(BlogPublisher, AFetchedPostBecomesChapterText)
{
    FakeTransport transport;
    transport.answer(FakeTransport::result(
        "<value><struct><member><name>post_title</name><value><string>第一回</string></value></member>"
        "<member><name>post_content</name><value><string>&lt;style\ntype=\"text/css\"&gt;pre{}&lt;/style&gt;"
        "&lt;p&gt;诗曰：&lt;/p&gt;&lt;p&gt;a &amp;amp; b&lt;br /&gt;c&lt;/p&gt;\r\n</string></value></member>"
        "</struct></value>"));
    BlogPublisher publisher(transport, wordpress(), nullptr);
    auto post = publisher.fetchPost(5);
    ASSERT_TRUE(post.ok()) << post.error().detail;
    EXPECT_EQ(u8(post->first), "第一回");
    EXPECT_EQ(u8(post->second), "诗曰：\n\na & b\nc\r\n");
    EXPECT_NE(transport.requests[0].body.find("<param><value><i4>5</i4></value></param>"), std::string::npos);
}

TEST(BlogPublisher, AFetchedPostNeverReplacesAChapter)
{
    veyla::test::TempDir dir;
    auto first = writeFetchedPost(dir / "书/第一回.xml", u"一\r\n");
    auto second = writeFetchedPost(dir / "书/第一回.xml", u"二\r\n");
    auto third = writeFetchedPost(dir / "书/第一回", u"三\r\n");
    ASSERT_TRUE(first.ok() && second.ok() && third.ok());
    EXPECT_EQ(first->filename(), "第一回.xml");
    EXPECT_EQ(second->filename(), "第一回-2.xml");
    EXPECT_EQ(third->filename(), "第一回-3.xml");
    EXPECT_NE(veyla::test::readBytes(*first), veyla::test::readBytes(*second));
}

TEST(BlogPublisher, APostReadBackIsNamedAfterItsTitleInsideTheFolder)
{
    veyla::test::TempDir dir;
    const auto folder = dir / "小说/0001_西游记";
    veyla::test::writeBytes(folder / "0001_第一回.xml", "x");
    veyla::test::writeBytes(folder / "0007_第七回.xml", "x");
    struct Case {
        std::u16string title;
        std::string fileName;
    };
    const std::u16string longTitle(100, u'长');  // 300 bytes in UTF-8: cut to 66 characters
    const std::u16string emoji = u"\U0001F600";
    for (const Case& c : {Case{u"第八回", "0008_第八回.xml"}, Case{u"a/../../b", "0008_a_.._.._b.xml"},
                          Case{u"..", "0008_无标题.xml"}, Case{u"  \u3000 ", "0008_无标题.xml"},
                          Case{u"行\n尾\\x", "0008_行_尾_x.xml"},
                          Case{longTitle, "0008_" + u8(std::u16string(66, u'长')) + ".xml"},
                          // A pair that would not fit whole is left out, never split.
                          Case{std::u16string(66, u'长') + emoji, "0008_" + u8(std::u16string(66, u'长')) + ".xml"},
                          Case{u"笑" + emoji, "0008_笑\xF0\x9F\x98\x80.xml"}}) {
        const auto path = fetchedPostPath(folder, c.title);
        EXPECT_EQ(path.parent_path(), folder) << u8(c.title);
        EXPECT_EQ(path.filename().string(), c.fileName) << u8(c.title);
    }
}

}  // namespace
}  // namespace veyla::publish
