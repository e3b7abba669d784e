// SPDX-License-Identifier: MIT
// The sleep timer of the read-aloud panel, with a fake engine whose pieces
// last until the test ends them and a clock the test moves by hand.
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <atomic>

#include "core/library/bookmark_list.h"
#include "core/speech/fake_speech_engine.h"
#include "core/util/utf16.h"
#include "gui/commands/command_router.h"
#include "gui/speech/speech_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"
#include "gui_fixture.h"
#include "support/test_support.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
using speech::FakeSpeechEngine;

namespace {

constexpr int kWaitMs = 5000;

class HandClock final : public speech::SleepClock {
public:
    TimePoint now() const override { return TimePoint(std::chrono::nanoseconds(m_ticks.load())); }
    void advance(std::chrono::nanoseconds by) { m_ticks += by.count(); }

private:
    std::atomic<long long> m_ticks{1'000'000'000};
};

struct Sleepy {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;
    FakeSpeechEngine* engine = nullptr;
    HandClock clock;

    Sleepy()
    {
        fixture.addChapter("小说/书/0001_第一章.xml", u"天地玄黄，宇宙洪荒。\n日月盈昃，辰宿列张。"_s);
        fixture.addChapter("小说/书/0002_第二章.xml", u"寒来暑往，秋收冬藏。"_s);
        window = fixture.startWindow();
        auto fake = std::make_unique<FakeSpeechEngine>();
        fake->setDuration(FakeSpeechEngine::Duration::UntilStopped);
        engine = fake.get();
        window->speech().setEngine(std::move(fake));
        window->speech().setSleepClock(clock);
        window->library().selectPath(chapter(1));
    }
    ~Sleepy()
    {
        if (window)
            window->close();
    }
    std::filesystem::path chapter(int number) const
    {
        return fixture.library() / (number == 1 ? "小说/书/0001_第一章.xml" : "小说/书/0002_第二章.xml");
    }
    // Picks an entry of the combo "定时" as the user does.
    void choose(const QString& entry) const
    {
        auto* combo = window->ribbon().control<QComboBox>(kSleepTimerCombo);
        QVERIFY(combo != nullptr);
        const int index = combo->findText(entry);
        QVERIFY2(index >= 0, qPrintable(entry));
        combo->setCurrentIndex(index);
        QVERIFY(window->router().trigger(kSleepTimerCombo));
    }
    bool waitForPieces(std::size_t count) const
    {
        return QTest::qWaitFor([&] { return engine->spoken().size() >= count; }, kWaitMs);
    }
    QString status() const { return window->speech().sleepStatusText(); }
};

}  // namespace

class SleepTimerTest : public QObject {
    Q_OBJECT
private slots:
    void comboOffersTimesChapterEndsAndChapterCounts();
    void endOfChapterStopsAtTheNextChapterAndKeepsThePlace();
    void minutesCountFromTheStartFadeAndStop();
    void offDisarms();
    void timerEndingMidChapterKeepsThePlaceWhereReadingStopped();
};

void SleepTimerTest::comboOffersTimesChapterEndsAndChapterCounts()
{
    Sleepy s;
    auto* combo = s.window->ribbon().control<QComboBox>(kSleepTimerCombo);
    QVERIFY(combo != nullptr);
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    QCOMPARE(entries, (QStringList{u"不定时"_s, u"15 分钟"_s, u"30 分钟"_s, u"45 分钟"_s, u"60 分钟"_s, u"90 分钟"_s,
                                   u"本章结束"_s, u"2 章后"_s, u"3 章后"_s, u"5 章后"_s, u"10 章后"_s}));
    QVERIFY(s.status().isEmpty());
}

void SleepTimerTest::endOfChapterStopsAtTheNextChapterAndKeepsThePlace()
{
    Sleepy s;
    QSignalSpy ended(&s.window->speech(), &SpeechController::runEnded);
    s.choose(u"本章结束"_s);
    QCOMPARE(s.status(), u"定时：本章结束（开始朗读时计时）"_s);
    QVERIFY(s.window->router().trigger(kSpeakAll));
    QCOMPARE(s.status(), u"定时：本章结束"_s);
    QVERIFY(s.waitForPieces(1));
    s.engine->stop();
    QVERIFY(s.waitForPieces(2));
    s.engine->stop();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
    QCOMPARE(ended.front().front().value<speech::RunEnd>(), speech::RunEnd::TimerEnded);
    QCOMPARE(s.engine->spoken().size(), std::size_t{2});
    // The next chapter is open, at its start, and the exit bookmark says so.
    QCOMPARE(s.window->reading().chapterPath(), s.chapter(2));
    const std::string exitFile = test::readBytes(s.fixture.folders().dataControl("bookmark_quit.txt"));
    QVERIFY(exitFile.find(utf16::encodeLittleEndian(u"0002_第二章.xml`|")) != std::string::npos);
    QVERIFY(s.status().isEmpty());
    QCOMPARE(s.window->ribbon().control<QComboBox>(kSleepTimerCombo)->currentText(), u"不定时"_s);
}

void SleepTimerTest::minutesCountFromTheStartFadeAndStop()
{
    using namespace std::chrono_literals;
    Sleepy s;
    QSignalSpy ended(&s.window->speech(), &SpeechController::runEnded);
    QVERIFY(s.window->router().trigger(kSpeakAll));
    QVERIFY(s.waitForPieces(1));
    s.choose(u"15 分钟"_s);  // while reading: counts from now
    QCOMPARE(s.status(), u"定时：还剩 15:00"_s);
    s.clock.advance(14min + 50s);
    QCOMPARE(s.status(), u"定时：还剩 0:10"_s);
    s.engine->stop();
    QVERIFY(s.waitForPieces(2));
    QCOMPARE(s.engine->spokenVolumes(), (std::vector<int>{100, 60}));
    s.clock.advance(10s);
    s.engine->stop();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
    QCOMPARE(ended.front().front().value<speech::RunEnd>(), speech::RunEnd::TimerEnded);
    QCOMPARE(s.engine->spoken().size(), std::size_t{2});
    QCOMPARE(s.engine->volume(), speech::kFullVolume);
    QVERIFY(s.status().isEmpty());
}

void SleepTimerTest::offDisarms()
{
    Sleepy s;
    QSignalSpy ended(&s.window->speech(), &SpeechController::runEnded);
    s.choose(u"2 章后"_s);
    QVERIFY(s.window->router().trigger(kSpeakAll));
    QCOMPARE(s.status(), u"定时：还剩 2 章"_s);
    s.choose(u"不定时"_s);
    QVERIFY(s.status().isEmpty());
    for (std::size_t piece = 1; piece <= 4; ++piece) {
        QVERIFY(s.waitForPieces(piece));
        s.engine->stop();
    }
    QVERIFY(s.waitForPieces(5));
    QCOMPARE(ended.count(), 0);
    s.window->router().trigger(kStopSpeaking);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
}


void SleepTimerTest::timerEndingMidChapterKeepsThePlaceWhereReadingStopped()
{
    using namespace std::chrono_literals;
    // A chapter of many paragraphs: reading scrolls the view along.
    GuiFixture fixture;
    QStringList paragraphs;
    for (int i = 0; i < 80; ++i)
        paragraphs << u"第%1段。天地玄黄，宇宙洪荒。日月盈昃，辰宿列张。寒来暑往，秋收冬藏。"_s.arg(i + 1);
    fixture.addChapter("小说/书/0001_长章.xml", paragraphs.join(u'\n'));
    auto window = fixture.startWindow();
    auto fake = std::make_unique<FakeSpeechEngine>();
    fake->setDuration(FakeSpeechEngine::Duration::UntilStopped);
    FakeSpeechEngine* engine = fake.get();
    window->speech().setEngine(std::move(fake));
    HandClock clock;
    window->speech().setSleepClock(clock);
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_长章.xml"));
    QSignalSpy ended(&window->speech(), &SpeechController::runEnded);

    QVERIFY(window->router().trigger(kSpeakAll));
    const auto waitForPieces = [&](std::size_t count) {
        return QTest::qWaitFor([&] { return engine->spoken().size() >= count; }, kWaitMs);
    };
    constexpr std::size_t kPiecesBeforeTheTimer = 60;
    for (std::size_t piece = 1; piece < kPiecesBeforeTheTimer; ++piece) {
        QVERIFY(waitForPieces(piece));
        engine->stop();
    }
    QVERIFY(waitForPieces(kPiecesBeforeTheTimer));
    auto* combo = window->ribbon().control<QComboBox>(kSleepTimerCombo);
    combo->setCurrentIndex(combo->findText(u"15 分钟"_s));
    QVERIFY(window->router().trigger(kSleepTimerCombo));
    clock.advance(15min);
    engine->stop();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWaitMs);
    QCOMPARE(ended.front().front().value<speech::RunEnd>(), speech::RunEnd::TimerEnded);
    QCOMPARE(engine->spoken().size(), kPiecesBeforeTheTimer);

    // The exit bookmark is on disk at once, in this chapter, where the view
    // stood when reading stopped: well past the chapter's start.
    const long long stoppedAt = window->reading().position();
    QVERIFY(stoppedAt > 0);
    library::BookmarkList exit;
    QCOMPARE(exit.load(fixture.folders().dataControl("bookmark_quit.txt")), library::BookmarkList::LoadResult::Loaded);
    QCOMPARE(exit.groups().size(), std::size_t{1});
    const library::Bookmark& mark = exit.groups().front().entries.front();
    QVERIFY(mark.text.find(u"0001_长章.xml") != std::u16string::npos);
    QCOMPARE(mark.position, stoppedAt);
    window->close();
}

QTEST_MAIN(SleepTimerTest)
#include "sleep_timer_test.moc"
