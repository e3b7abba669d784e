// SPDX-License-Identifier: MIT
// "发布到博客" (command 33421) and the "发布" group of "更多设置".
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

#include <atomic>
#include <future>

#include "../core/publish/fake_transport.h"
#include "core/library/chapter_file.h"
#include "gui/commands/command_router.h"
#include "gui/publish/blog_posts_dialog.h"
#include "gui/publish/blog_sites_group.h"
#include "gui/publish/publish_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
using publish::test::FakeTransport;

namespace {

// Hands the controller a transport that forwards to a script the test keeps.
class ForwardingTransport : public platform::HttpTransport {
public:
    explicit ForwardingTransport(FakeTransport& fake) : m_fake(fake) {}
    Result<platform::HttpResponse> send(const platform::HttpRequest& request,
                                        const platform::HttpCallbacks& callbacks) override
    {
        return m_fake.send(request, callbacks);
    }

private:
    FakeTransport& m_fake;
};

publish::BlogSiteList oneSite()
{
    publish::BlogSiteList list;
    list.sites.push_back({publish::BlogType::WordPress, u"测试", u"127.0.0.1:8080", u"editor", u"pw", false});
    list.selected = 0;
    return list;
}

}  // namespace

class PublishTest : public QObject {
    Q_OBJECT
private slots:
    void publishesTheOpenChapterOnAWorkerUnderItsBookCategory()
    {
        GuiFixture fixture;
        fixture.addChapter("小说/0001_西游记/0001_第一回.xml", u"诗曰：\n混沌未分天地乱"_s);
        auto window = fixture.startWindow();
        FakeTransport fake;
        fake.answer(FakeTransport::result("<value><int>7</int></value>"));
        fake.answer(FakeTransport::result("<value><int>8</int></value>"));
        fake.answer(FakeTransport::result("<value><string>99</string></value>"));
        auto& publishing = window->publishing();
        publishing.setTransportFactory([&] { return std::make_unique<ForwardingTransport>(fake); });
        QVERIFY(publishing.setSites(oneSite()));

        QVERIFY(window->reading().openChapter(fixture.library() / "小说/0001_西游记/0001_第一回.xml"));
        QSignalSpy finished(&publishing, &PublishController::finished);
        QVERIFY(window->router().trigger(kPublishChapter));
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().first().toBool(), true);
        QTRY_COMPARE(window->statusBar()->currentMessage(), u"成功发布文章： 第一回"_s);

        QCOMPARE(fake.requests.size(), std::size_t{3});
        QCOMPARE(fake.requests[0].url, std::string("http://127.0.0.1:8080/xmlrpc.php"));
        QVERIFY(fake.requests[0].body.find("<string>小说</string>") != std::string::npos);
        QVERIFY(fake.requests[1].body.find("<name>parent_id</name><value><i4>7</i4>") != std::string::npos);
        const std::string& post = fake.requests[2].body;
        QVERIFY(post.find("<methodName>metaWeblog.newPost</methodName>") != std::string::npos);
        QVERIFY(post.find("<value><string>西游记</string></value></data>") != std::string::npos);
        QVERIFY(post.find("混沌未分天地乱") != std::string::npos);

        // The categories are known now: a second publication only posts.
        fake.answer(FakeTransport::result("<value><string>100</string></value>"));
        QVERIFY(window->router().trigger(kPublishChapter));
        QVERIFY(finished.wait(30000));
        QCOMPARE(fake.requests.size(), std::size_t{4});
        QVERIFY(fixture.messages.isEmpty());
    }

    void withoutAChosenSiteNothingIsSent()
    {
        GuiFixture fixture;
        fixture.addChapter("书/0001_一.xml");
        auto window = fixture.startWindow();
        FakeTransport fake;
        window->publishing().setTransportFactory([&] { return std::make_unique<ForwardingTransport>(fake); });
        QVERIFY(window->reading().openChapter(fixture.library() / "书/0001_一.xml"));
        QVERIFY(window->router().trigger(kPublishChapter));
        QVERIFY(fake.requests.empty());
        QVERIFY(!window->publishing().isBusy());

        auto incomplete = oneSite();
        incomplete.sites[0].password.clear();
        QVERIFY(window->publishing().setSites(incomplete));
        QVERIFY(window->router().trigger(kPublishChapter));
        QVERIFY(fake.requests.empty());
        QTRY_COMPARE(window->statusBar()->currentMessage(), u"网址、用户名、密码均不能为空"_s);
    }

    // A site list others may read is neither used nor rewritten: publishing
    // says why (naming the file) instead of asking to choose a site.
    void aSiteListOthersCanReadIsNamedAndLeftAlone()
    {
        GuiFixture fixture;
        fixture.addChapter("书/0001_一.xml");
        const auto sitesFile = publish::blogSitesPath(fixture.folders());
        QVERIFY(publish::saveBlogSites(sitesFile, oneSite()).ok());
        QCOMPARE(::chmod(sitesFile.c_str(), 0644), 0);
        const std::string before = test::readBytes(sitesFile);
        {
            auto window = fixture.startWindow();
            FakeTransport fake;
            window->publishing().setTransportFactory([&] { return std::make_unique<ForwardingTransport>(fake); });
            QVERIFY(window->reading().openChapter(fixture.library() / "书/0001_一.xml"));
            QVERIFY(window->router().trigger(kPublishChapter));
            QVERIFY(fake.requests.empty());
            QTRY_VERIFY(window->statusBar()->currentMessage().contains(u"holds passwords but has mode 0644"_s));
            QVERIFY(window->statusBar()->currentMessage().contains(QString::fromStdString(sitesFile.string())));
        }
        QCOMPARE(test::readBytes(sitesFile), before);
    }

    // "读取博客文章" on a book: its category's posts are listed and cached in
    // the book's "0.txt"; the checked ones become chapters after the last.
    void postsOfABookCategoryAreReadBackIntoTheBook()
    {
        GuiFixture fixture;
        fixture.addChapter("小说/0001_西游记/0001_第一回.xml", u"诗曰"_s);
        auto window = fixture.startWindow();
        FakeTransport fake;
        auto& publishing = window->publishing();
        publishing.setTransportFactory([&] { return std::make_unique<ForwardingTransport>(fake); });
        QVERIFY(publishing.setSites(oneSite()));
        const auto book = fixture.library() / "小说/0001_西游记";
        QVERIFY(window->library().selectPath(book));

        fake.answer(FakeTransport::result(
            "<value><array><data><value><struct><member><name>name</name><value><string>西游记</string></value>"
            "</member><member><name>term_id</name><value><string>12</string></value></member></struct></value>"
            "</data></array></value>"));
        const std::string post = "<value><struct><member><name>post_id</name><value><string>%1</string></value>"
                                 "</member><member><name>post_title</name><value><string>%2</string></value>"
                                 "</member></struct></value>";
        const auto postXml = [&](const char* id, const char* title) {
            return QString::fromStdString(post).arg(QString::fromUtf8(id), QString::fromUtf8(title)).toStdString();
        };
        fake.answer(FakeTransport::result("<value><array><data>" + postXml("30", "第二回") +
                                          postXml("31", "第三回/上") + "</data></array></value>"));
        QSignalSpy listed(&publishing, &PublishController::postsListed);
        QVERIFY(window->router().trigger(kBlogPosts));
        QVERIFY(listed.wait(30000));
        QCOMPARE(listed.first().first().toInt(), 2);
        QVERIFY(fake.requests[0].body.find("<string>西游记</string>") != std::string::npos);
        QVERIFY(fake.requests[1].body.find("<name>category</name><value><i4>12</i4>") != std::string::npos);
        QVERIFY(std::filesystem::exists(book / "0.txt"));

        // Opened again, the list comes from the cache: nothing is sent.
        QVERIFY(publishing.showPosts(fixture.library(), book));
        QCOMPARE(fake.requests.size(), std::size_t{2});
        auto* dialog = publishing.postsDialog();
        QVERIFY(dialog->isVisible());
        dialog->checkAll();
        QCOMPARE(dialog->checkedPosts().size(), std::size_t{2});

        const auto content = [](const char* title, const char* html) {
            return FakeTransport::result(std::string("<value><struct><member><name>post_title</name><value><string>") +
                                         title + "</string></value></member><member><name>post_content</name>"
                                         "<value><string>" + html + "</string></value></member></struct></value>");
        };
        fake.answer(content("第二回", "&lt;p&gt;第二回的正文&lt;/p&gt;"));
        fake.answer(content("第三回/上", "三"));
        QSignalSpy fetched(&publishing, &PublishController::postsFetched);
        QVERIFY(publishing.fetchPosts(dialog->checkedPosts()));
        QVERIFY(fetched.wait(30000));
        const auto chapters = fetched.first().at(1).value<std::vector<std::filesystem::path>>();
        QCOMPARE(chapters.size(), std::size_t{2});
        QCOMPARE(chapters[0], book / "0002_第二回.xml");
        QCOMPARE(chapters[1], book / "0003_第三回_上.xml");
        auto first = library::readChapter(chapters[0], {});
        QVERIFY(first.ok());
        QCOMPARE(QString::fromStdU16String(first->paragraphs.at(0).text()).trimmed(), u"第二回的正文"_s);
        QTRY_COMPARE(window->library().selectedPath(), chapters[0]);
        QVERIFY(fixture.messages.isEmpty());
    }

    void stoppingWhileReadingPostsKeepsWhatWasRead()
    {
        GuiFixture fixture;
        fixture.addChapter("小说/0001_西游记/0001_第一回.xml", u"诗曰"_s);
        auto window = fixture.startWindow();
        FakeTransport fake;
        auto& publishing = window->publishing();
        publishing.setTransportFactory([&] { return std::make_unique<ForwardingTransport>(fake); });
        QVERIFY(publishing.setSites(oneSite()));
        const auto book = fixture.library() / "小说/0001_西游记";
        QVERIFY(publish::writePostListCache(book, {{30, u"第二回"}, {31, u"第三回"}}).ok());
        QVERIFY(publishing.showPosts(fixture.library(), book));
        BlogPostsDialog* dialog = publishing.postsDialog();
        dialog->checkAll();
        auto* stop = dialog->findChild<QPushButton*>(u"stopReading"_s);
        QVERIFY(stop != nullptr && !stop->isEnabled());

        // The first post comes back; the second is held on the wire until
        // 停止 has been pressed, which cuts it short.
        const auto post = [](const char* title) {
            return FakeTransport::result(std::string("<value><struct><member><name>post_title</name><value><string>") +
                                         title + "</string></value></member><member><name>post_content</name>"
                                                 "<value><string>正文</string></value></member></struct></value>");
        };
        fake.answer(post("第二回"));
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> asked{false};
        fake.script.push_back([&, released](const platform::HttpRequest&) -> Result<platform::HttpResponse> {
            asked = true;
            released.wait();
            return FakeTransport::xml(post("第三回"));
        });
        QSignalSpy fetched(&publishing, &PublishController::postsFetched);
        QVERIFY(publishing.fetchPosts(dialog->checkedPosts()));
        QTRY_VERIFY(asked.load());
        QVERIFY(stop->isEnabled());
        stop->click();
        release.set_value();
        QVERIFY(fetched.wait(30000));
        const auto chapters = fetched.first().at(1).value<std::vector<std::filesystem::path>>();
        QCOMPARE(chapters, std::vector<std::filesystem::path>{book / "0002_第二回.xml"});
        QCOMPARE(fake.requests.size(), std::size_t{2});
        QVERIFY(!std::filesystem::exists(book / "0003_第三回.xml"));
        QVERIFY(fixture.messages.isEmpty());
        QTRY_VERIFY(!stop->isEnabled());
        QVERIFY(window->statusBar()->currentMessage().startsWith(u"已停止读取"_s));
    }

    void aBlogWithoutTheCategoryIsSaidAndNothingIsWritten()
    {
        GuiFixture fixture;
        fixture.addChapter("书/0001_一.xml");
        auto window = fixture.startWindow();
        FakeTransport fake;
        auto& publishing = window->publishing();
        publishing.setTransportFactory([&] { return std::make_unique<ForwardingTransport>(fake); });
        QVERIFY(publishing.setSites(oneSite()));
        fake.answer(FakeTransport::result("<value><array><data></data></array></value>"));
        QSignalSpy status(&publishing, &PublishController::status);
        QVERIFY(publishing.showPosts(fixture.library(), fixture.library() / "书"));
        QTRY_VERIFY(!publishing.isBusy());
        QTRY_VERIFY(window->statusBar()->currentMessage().startsWith(u"无法读取文章列表："_s));
        QVERIFY(!std::filesystem::exists(fixture.library() / "书/0.txt"));

        // A fault from the blog names the blog's refusal.
        fake.answer(FakeTransport::fault(403, "Incorrect username or password."));
        QVERIFY(publishing.listPosts(true));
        QTRY_VERIFY(!publishing.isBusy());
        QTRY_VERIFY(window->statusBar()->currentMessage().contains(u"Incorrect username or password."_s));
    }

    void theSettingsGroupEditsAndAddsSites()
    {
        GuiFixture fixture;
        BlogSitesGroup group(oneSite());
        auto* address = group.findChild<QLineEdit*>(u"blogAddress"_s);
        auto* user = group.findChild<QLineEdit*>(u"blogUser"_s);
        auto* choice = group.findChild<QComboBox*>(u"blogChoice"_s);
        QCOMPARE(address->text(), u"127.0.0.1:8080"_s);
        QCOMPARE(user->text(), u"editor"_s);

        address->clear();
        typeText(*address, u"blog.example.org"_s);
        group.findChild<QComboBox*>(u"blogType"_s)->setCurrentIndex(1);
        group.findChild<QCheckBox*>(u"blogSelfSigned"_s)->setChecked(true);
        QVERIFY(group.addSite(u"第二个"_s));
        QVERIFY(!group.addSite(u"第二个"_s));
        QVERIFY(!group.addSite(QString()));
        QCOMPARE(choice->count(), 2);

        auto sites = group.sites();
        QCOMPARE(sites.selected, 1);
        QVERIFY(sites.sites[1].name == u"第二个");
        QVERIFY(sites.sites[1].address == u"blog.example.org");
        QVERIFY(sites.sites[1].type == publish::BlogType::MetaWeblog);
        QVERIFY(sites.sites[1].acceptSelfSignedCertificate);
        // The first site took the edits made while it was chosen.
        QVERIFY(sites.sites[0].address == u"blog.example.org");

        choice->setCurrentIndex(0);
        QCOMPARE(group.sites().selected, 0);
        QCOMPARE(user->text(), u"editor"_s);

        // Kept in a file only its owner may read.
        auto window = fixture.startWindow();
        QVERIFY(window->publishing().setSites(group.sites()));
        struct stat info {};
        QCOMPARE(::stat(publish::blogSitesPath(fixture.folders()).c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777u, 0600u);
    }
};

QTEST_MAIN(PublishTest)
#include "publish_test.moc"
