// SPDX-License-Identifier: MIT
// "检查更新", "升级更新" (the window 书海拾遗) and "官网" against a local HTTP server.
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/epub/test_zip.h"
#include "core/platform/ini_file.h"
#include "core/util/code_page.h"
#include "gui/commands/command_router.h"
#include "gui/update/catalogue_dialog.h"
#include "gui/update/update_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"
#include "support/test_support.h"
#include "support/local_http_server.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 60000;

// A data folder whose preSet.ini names the site (or none), and the window on it.
struct Session {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;

    explicit Session(const std::string& site)
    {
        fs::create_directories(fixture.folders().dataFolder / "control");
        (void)platform::writeProfileString(fixture.folders().dataControl("preSet.ini"), u"Update", u"Site",
                                           QString::fromStdString(site).toStdU16String());
        window = fixture.startWindow();
    }
    ~Session()
    {
        if (window)
            window->close();
    }
    UpdateController& updates() const { return window->updates(); }
    void trigger(int id) const { window->router().trigger(id); }
    bool waitIdle() const
    {
        return QTest::qWaitFor([&] { return !updates().isBusy(); }, kWaitMs);
    }
};

QString gbkList()
{
    return u"书海拾遗-1\r\nhttps://pan.example/s-1\r\n1-西游记.zip\r\n"_s;
}

}  // namespace

class UpdateWindowTest : public QObject {
    Q_OBJECT
private slots:
    void withoutSiteNothingIsAskedAndTheUserIsTold();
    void catalogueWindowIsMadeOnceAndDownloadsWithProgress();
    void failedDownloadSaysSo();
    void closingDuringADownloadStopsItAndLeavesNoPartialFile();
    void officialSiteOpensThePublishersSiteInTheBrowser();
};

void UpdateWindowTest::withoutSiteNothingIsAskedAndTheUserIsTold()
{
    test::LocalHttpServer server;
    if (!server.unavailable().empty())
        QSKIP(qPrintable(QString::fromStdString(server.unavailable())));
    Session session("");
    session.trigger(kCheckUpdate);
    QCOMPARE(session.fixture.messages.size(), 1);
    QVERIFY(session.fixture.messages.front().contains(u"未设置更新网址"_s));
    session.trigger(kUpgrade);
    CatalogueDialog* dialog = session.updates().catalogue();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->rows(), QStringList{u"No updates found\nGeneric Application is up to date"_s});
    QVERIFY(session.waitIdle());
    QVERIFY(server.requests().empty());
}

void UpdateWindowTest::catalogueWindowIsMadeOnceAndDownloadsWithProgress()
{
    test::LocalHttpServer server;
    if (!server.unavailable().empty())
        QSKIP(qPrintable(QString::fromStdString(server.unavailable())));
    test::writeBytes(server.root() / "down/catalogue.txt", encodeCodePage(gbkList().toStdU16String()));
    std::string chapter(300000, 'x');
    test::writeBytes(server.root() / "down/西游记.zip", test::buildZip({{"西游记/第一回.txt", chapter}}));
    Session session(server.url("/files"));
    // The program's file name lacks 小说: the start-up check asked nothing.
    QVERIFY(session.waitIdle());
    QVERIFY(server.requests().empty());

    session.trigger(kUpgrade);
    CatalogueDialog* dialog = session.updates().catalogue();
    QVERIFY(dialog != nullptr);
    QVERIFY(session.waitIdle());
    QCOMPARE(dialog->rows(), (QStringList{u"从网盘进行下载"_s, u"西游记.zip"_s}));
    dialog->hide();
    session.trigger(kUpgrade);
    QCOMPARE(session.updates().catalogue(), dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(session.waitIdle());

    // The event loop keeps turning while the download runs on its worker.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start(5);
    clock.start();
    dialog->selectRow(1);
    dialog->findChild<QPushButton*>(u"1001"_s)->click();
    QVERIFY(session.updates().isBusy());
    QVERIFY(session.waitIdle());
    qInfo("catalogue download: %lld ms, longest pause of the event loop %lld ms",
          static_cast<long long>(clock.elapsed()), static_cast<long long>(longest));
    QTRY_COMPARE(dialog->progressPercent(), 100);
    QVERIFY2(dialog->progressText().startsWith(u"Downloaded "_s), qPrintable(dialog->progressText()));
    const fs::path folder = session.fixture.folders().dataFolder;  // not a portable copy
    QCOMPARE(test::readBytes(folder / "西游记/第一回.txt"), chapter);
    QVERIFY(!fs::exists(folder / "西游记.zip"));
    QVERIFY(session.fixture.messages.isEmpty());
}

void UpdateWindowTest::failedDownloadSaysSo()
{
    test::LocalHttpServer server;
    if (!server.unavailable().empty())
        QSKIP(qPrintable(QString::fromStdString(server.unavailable())));
    test::writeBytes(server.root() / "down/catalogue.txt", encodeCodePage(gbkList().toStdU16String()));
    Session session(server.url("/files"));  // 西游记.zip is not served
    session.trigger(kUpgrade);
    QVERIFY(session.waitIdle());
    session.updates().catalogue()->selectRow(1);
    session.updates().downloadCatalogueRow(1);
    QVERIFY(session.waitIdle());
    QCOMPARE(session.fixture.messages, QStringList{u"下载失败"_s});
}

void UpdateWindowTest::closingDuringADownloadStopsItAndLeavesNoPartialFile()
{
    test::LocalHttpServer server;
    if (!server.unavailable().empty())
        QSKIP(qPrintable(QString::fromStdString(server.unavailable())));
    test::writeBytes(server.root() / "down/catalogue.txt", encodeCodePage(gbkList().toStdU16String()));
    test::writeBytes(server.root() / "down/西游记.zip", test::buildZip({{"a.txt", std::string(200000, 'a')}}));
    Session session(server.url("/stallsite"));
    session.trigger(kUpgrade);
    QVERIFY(session.waitIdle());
    session.updates().downloadCatalogueRow(1);
    QVERIFY(QTest::qWaitFor([&] { return session.updates().catalogue()->progressText().startsWith(u"Downloaded"_s); },
                            kWaitMs));
    const fs::path folder = session.fixture.folders().dataFolder;
    session.window->close();  // stops the stalled download and waits for it
    QVERIFY(!session.updates().isBusy());
    for (const auto& item : fs::directory_iterator(folder))
        QVERIFY2(item.path().filename().string().find("西游记") == std::string::npos &&
                     !item.path().filename().string().starts_with(".veyla-write"),
                 item.path().c_str());
    QVERIFY(session.fixture.messages.isEmpty());
}

void UpdateWindowTest::officialSiteOpensThePublishersSiteInTheBrowser()
{
    // The desktop's opener, replaced on PATH by one that notes what it was given.
    test::TempDir bin;
    const fs::path opened = bin / "opened.txt";
    test::writeBytes(bin / "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + opened.string() + "'\n");
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray(bin.path().c_str()) + ':' + path);
    {
        Session session("http://publisher.example/veyla");
        QVERIFY(session.waitIdle());
        session.fixture.messages.clear();
        for (const int command : {kOfficialSite, kOfficialSiteMenu})
            session.trigger(command);
        QTRY_COMPARE_WITH_TIMEOUT(test::readBytes(opened),
                                  std::string("http://publisher.example/veyla/\nhttp://publisher.example/veyla/\n"),
                                  kWaitMs);
        QVERIFY(session.fixture.messages.isEmpty());
    }
    {
        // Without a site nothing is opened, and the status bar says why.
        fs::remove(opened);
        Session session("");
        session.trigger(kOfficialSite);
        QTest::qWait(200);
        QVERIFY(!fs::exists(opened));
    }
    qputenv("PATH", path);
}

QTEST_MAIN(UpdateWindowTest)
#include "update_window_test.moc"
