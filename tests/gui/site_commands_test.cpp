// SPDX-License-Identifier: MIT
// The local website commands of the tree: 508, 509, 513, 514 and the
// page-size dialog "分页设置" (512).
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

#include "gui/commands/command_router.h"
#include "gui/output/page_size_dialog.h"
#include "gui/output/site_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/display_state.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"
#include "support/test_support.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 60000;

struct Site {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;
    std::vector<fs::path> opened;

    explicit Site(int chapters = 3)
    {
        for (int i = 1; i <= chapters; ++i)
            fixture.addChapter(u"小说/0001_西游记/%1_第%2回.xml"_s.arg(i, 4, 10, QChar(u'0')).arg(i).toStdU16String(),
                               u"第%1回\nTom studied the books."_s.arg(i));
        window = fixture.startWindow();
        window->site().setPageOpener([this](const fs::path& page) { opened.push_back(page); });
    }
    ~Site()
    {
        if (window)
            window->close();
    }
    SiteController& site() const { return window->site(); }
    fs::path html(const std::string& relative) const
    {
        return fixture.folders().dataFolder / "HTML" / fs::u8path(relative);
    }
    bool run(int command)
    {
        if (!window->library().selectPath(fixture.library() / "小说/0001_西游记/0001_第1回.xml"))
            return false;
        return window->router().trigger(command) && QTest::qWaitFor([&] { return !site().isBusy(); }, kWaitMs);
    }
};

}  // namespace

class SiteCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void chapterModeWritesTheBookAndOpensItsIndex();
    void wholeBookModeFollowsThePageSize();
    void englishCommandLoadsTheVocabularyOnce();
    void pageSizeDialogStoresTheChoice();
    void listeningPageIsTheOpenChapter();
};

void SiteCommandsTest::chapterModeWritesTheBookAndOpensItsIndex()
{
    Site site;
    QVERIFY(site.run(kSiteByChapter));
    QVERIFY(fs::exists(site.html("藏书库/小说/0001_西游记/0002_第2回.html")));
    QVERIFY(fs::exists(site.fixture.folders().dataFolder / "总书目.html"));
    QCOMPARE(site.opened.size(), std::size_t(1));
    QCOMPARE(site.opened.front(), site.html("藏书库/小说/0001_西游记/目录.html"));
    QVERIFY(site.window->statusBar()->currentMessage().startsWith(u"生成HTML 完毕 success"_s));
    QCOMPARE(site.site().lastResult().pagesWritten, 3);
    // The shipped page scripts are in the data folder's HTML/js.
    QVERIFY(fs::exists(site.html("js/myVueCode.js")));
    QVERIFY(fs::exists(site.html("js/element_lib/index.js")));
}

void SiteCommandsTest::wholeBookModeFollowsThePageSize()
{
    Site site(5);
    site.window->display().settings.webPageSize = 2;
    QVERIFY(site.run(kSiteWholeBook));
    QVERIFY(fs::exists(site.html("藏书库/小说/0001_西游记/西游记_全集03.html")));
    QVERIFY(!fs::exists(site.html("藏书库/小说/0001_西游记/0001_第1回.html")));
    QCOMPARE(site.site().lastResult().pagesWritten, 3);
}

void SiteCommandsTest::englishCommandLoadsTheVocabularyOnce()
{
    Site site(1);
    QVERIFY(site.site().vocabulary().empty());
    QVERIFY(site.run(kSiteByChapterEnglish));
    QVERIFY(!site.site().vocabulary().empty());
    const std::string page = test::readBytes(site.html("藏书库/小说/0001_西游记/0001_第1回.html"));
    QVERIFY(page.find(std::string("s\0t\0r\0o\0n\0g\0", 12)) != std::string::npos);
    QVERIFY(page.find(std::string("r\0a\0n\0d\0W\0o\0r\0d\0C\0o\0l\0o\0r\0", 26)) != std::string::npos);
}

void SiteCommandsTest::pageSizeDialogStoresTheChoice()
{
    Site site(1);
    site.window->display().settings.webPageSize = 120;
    QVERIFY(site.window->router().trigger(kSitePaging));
    PageSizeDialog* dialog = site.site().pageSizeDialog();
    QVERIFY(dialog != nullptr && dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->windowTitle(), u"分页设置"_s);
    QStringList captions;
    for (auto* button : dialog->findChildren<QRadioButton*>())
        captions << button->text();
    QCOMPARE(captions, QStringList({u"20章/页"_s, u"50章/页"_s, u"80章/页"_s, u"100章/页"_s, u"120章/页"_s, u"200章/页"_s}));
    QCOMPARE(dialog->checkedSize(), 120);
    dialog->findChildren<QRadioButton*>().at(1)->click();
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(site.window->display().settings.webPageSize, 50);
    // A value not among the six checks nothing; the same window comes back.
    site.window->display().settings.webPageSize = 33;
    QVERIFY(site.window->router().trigger(kSitePaging));
    QCOMPARE(site.site().pageSizeDialog(), dialog);
    QCOMPARE(dialog->checkedSize(), 0);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(site.window->display().settings.webPageSize, 33);
}

void SiteCommandsTest::listeningPageIsTheOpenChapter()
{
    Site site(2);
    QVERIFY(site.window->library().selectPath(site.fixture.library() / "小说/0001_西游记/0002_第2回.xml"));
    QVERIFY(site.window->router().trigger(kListeningPage));
    const fs::path page = site.fixture.folders().dataFolder / "听小说.html";
    QCOMPARE(site.opened.size(), std::size_t(1));
    QCOMPARE(site.opened.front(), page);
    const std::string bytes = test::readBytes(page);
    QVERIFY(bytes.find(std::string("\x2C\x7B\x32\x00\xDE\x56", 6)) != std::string::npos);  // 第2回
    QVERIFY(fs::exists(site.html("js/font.js")));
}

QTEST_MAIN(SiteCommandsTest)
#include "site_commands_test.moc"
