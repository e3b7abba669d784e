// SPDX-License-Identifier: MIT
// Read-aloud as an MPRIS player, driven over the session bus as a desktop's
// media keys would. Run under dbus-run-session for a private bus; without a
// bus the window must start and publish nothing.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QTest>

#include "core/speech/fake_speech_engine.h"
#include "gui/commands/command_router.h"
#include "gui/speech/media_controls.h"
#include "gui/speech/speech_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
using speech::FakeSpeechEngine;

namespace {

constexpr int kWaitMs = 5000;

struct Player {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;
    FakeSpeechEngine* engine = nullptr;

    Player()
    {
        fixture.addChapter("小说/书/0001_第一章.xml", u"天地玄黄，宇宙洪荒。\n日月盈昃，辰宿列张。"_s);
        fixture.addChapter("小说/书/0002_第二章.xml", u"寒来暑往，秋收冬藏。"_s);
        window = fixture.startWindow();
        auto fake = std::make_unique<FakeSpeechEngine>();
        fake->setDuration(FakeSpeechEngine::Duration::UntilStopped);
        engine = fake.get();
        window->speech().setEngine(std::move(fake));
        window->library().selectPath(fixture.library() / "小说/书/0001_第一章.xml");
    }
    ~Player()
    {
        if (window)
            window->close();
    }
    QDBusInterface player() const
    {
        return QDBusInterface(window->mediaControls().serviceName(), QString::fromLatin1(MediaControls::kObjectPath),
                              u"org.mpris.MediaPlayer2.Player"_s, QDBusConnection::sessionBus());
    }
    QString status() const { return player().property("PlaybackStatus").toString(); }
    qlonglong position() const { return player().property("Position").toLongLong(); }
    QVariantMap metadata() const
    {
        const QVariant value = player().property("Metadata");
        if (value.canConvert<QDBusArgument>())
            return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
        return value.toMap();
    }
    bool call(const QString& method) const
    {
        const QDBusMessage reply = player().call(method);
        return reply.type() == QDBusMessage::ReplyMessage;
    }
    bool waitForPieces(std::size_t count) const
    {
        return QTest::qWaitFor([&] { return engine->spoken().size() >= count; }, kWaitMs);
    }
};

}  // namespace

class MediaControlsTest : public QObject {
    Q_OBJECT
private slots:
    void mediaKeysPlayPauseResumeAndSkipChapters();
    void withoutASessionBusNothingIsPublished();
};

void MediaControlsTest::mediaKeysPlayPauseResumeAndSkipChapters()
{
    if (!QDBusConnection::sessionBus().isConnected())
        QSKIP("no session bus (the test runs under dbus-run-session)");
    Player p;
    QVERIFY(p.window->mediaControls().published());
    QDBusInterface root(p.window->mediaControls().serviceName(), QString::fromLatin1(MediaControls::kObjectPath),
                        u"org.mpris.MediaPlayer2"_s, QDBusConnection::sessionBus());
    QCOMPARE(root.property("Identity").toString(), u"Veyla"_s);
    QCOMPARE(p.status(), u"Stopped"_s);
    QCOMPARE(p.position(), 0);
    QVariantMap data = p.metadata();
    QCOMPARE(data.value(u"xesam:title"_s).toString(), u"第一章"_s);
    QCOMPARE(data.value(u"xesam:album"_s).toString(), u"书"_s);

    QVERIFY(p.call(u"PlayPause"_s));
    QVERIFY(p.waitForPieces(1));
    QCOMPARE(p.status(), u"Playing"_s);

    // Pause lets the piece play out, then nothing more is spoken.
    QVERIFY(p.call(u"Pause"_s));
    QCOMPARE(p.status(), u"Paused"_s);
    p.engine->stop();  // the piece has been played
    QTRY_VERIFY_WITH_TIMEOUT(!p.window->speech().isReading(), kWaitMs);
    QCOMPARE(p.engine->spoken().size(), std::size_t{1});
    QCOMPARE(p.status(), u"Paused"_s);
    // The position counts the time read aloud and holds while paused.
    const qlonglong paused = p.position();
    QVERIFY(paused > 0);
    QTest::qWait(20);
    QCOMPARE(p.position(), paused);

    // Play goes on with the next piece.
    QVERIFY(p.call(u"Play"_s));
    QVERIFY(p.waitForPieces(2));
    QCOMPARE(p.engine->spoken()[1], u"日月盈昃，辰宿列张。"_s.toStdU16String());
    QTRY_VERIFY_WITH_TIMEOUT(p.position() > paused, kWaitMs);

    // Next: the next chapter, read from its start.
    QVERIFY(p.call(u"Next"_s));
    QTRY_COMPARE_WITH_TIMEOUT(p.window->reading().chapterPath(),
                              p.fixture.library() / "小说/书/0002_第二章.xml", kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!p.engine->spoken().empty() &&
                                 p.engine->spoken().back() == u"寒来暑往，秋收冬藏。"_s.toStdU16String(),
                             kWaitMs);
    QCOMPARE(p.metadata().value(u"xesam:title"_s).toString(), u"第二章"_s);

    QVERIFY(p.call(u"Stop"_s));
    QTRY_VERIFY_WITH_TIMEOUT(!p.window->speech().isReading(), kWaitMs);
    QCOMPARE(p.status(), u"Stopped"_s);

    QVERIFY(p.call(u"Previous"_s));
    QTRY_COMPARE_WITH_TIMEOUT(p.window->reading().chapterPath(),
                              p.fixture.library() / "小说/书/0001_第一章.xml", kWaitMs);
    QCOMPARE(p.status(), u"Stopped"_s);  // a stopped player stays stopped
    QCOMPARE(p.position(), 0);           // another chapter, not read yet
}

void MediaControlsTest::withoutASessionBusNothingIsPublished()
{
    if (QDBusConnection::sessionBus().isConnected())
        QSKIP("a session bus is there (this case runs without one)");
    Player p;
    QVERIFY(!p.window->mediaControls().published());
    QVERIFY(p.window->router().trigger(kSpeakAll));
    QVERIFY(p.waitForPieces(1));
    QVERIFY(p.window->router().trigger(kStopSpeaking));
    QTRY_VERIFY_WITH_TIMEOUT(!p.window->speech().isReading(), kWaitMs);
}

QTEST_MAIN(MediaControlsTest)
#include "media_controls_test.moc"
