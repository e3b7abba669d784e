// SPDX-License-Identifier: MIT
#include "core/speech/sleep_timer.h"

#include <gtest/gtest.h>

#include <atomic>

#include "core/speech/fake_speech_engine.h"
#include "core/speech/read_aloud_runner.h"
#include "core/util/utf16.h"

namespace veyla::speech {
namespace {

using namespace std::chrono_literals;

// A clock that moves only when told to.
class HandClock final : public SleepClock {
public:
    TimePoint now() const override { return TimePoint(std::chrono::nanoseconds(m_ticks.load())); }
    void advance(std::chrono::nanoseconds by) { m_ticks += by.count(); }

private:
    std::atomic<long long> m_ticks{1'000'000'000};
};

TEST(SleepDuration, ParsesMinutesHoursAndSeconds)
{
    struct Row {
        const char* text;
        long long seconds;  // -1: refused
    };
    const Row rows[] = {
        // minutes, with and without a unit
        {"30m", 1800}, {"30min", 1800}, {"30", 1800}, {"90m", 5400},
        // hours and mixed
        {"1h", 3600}, {"1h30m", 5400}, {"1h30", 5400}, {"45s", 45},
        // the longest allowed is a day
        {"1440m", 86400}, {"1441m", -1}, {"25h", -1},
        // nothing, zero, junk and units out of place
        {"", -1}, {"0m", -1}, {"m", -1}, {"30x", -1}, {"-5m", -1}, {"30 m", -1}, {"30h5", -1},
        {"3m0", -1}, {"99999999m", -1},
    };
    for (const Row& row : rows) {
        const auto parsed = parseSleepDuration(row.text);
        if (row.seconds < 0) {
            ASSERT_FALSE(parsed.ok()) << row.text;
            EXPECT_EQ(parsed.error().code, ErrorCode::InvalidArgument);
        } else {
            ASSERT_TRUE(parsed.ok()) << row.text;
            EXPECT_EQ(parsed->count(), row.seconds) << row.text;
        }
    }
}

TEST(SleepTimer, MinutesCountDownFadeAndStop)
{
    HandClock clock;
    SleepTimer timer(clock);
    EXPECT_FALSE(timer.beforePiece().stop);
    EXPECT_TRUE(timer.statusText().empty());
    timer.arm({SleepKind::Minutes, 15});
    EXPECT_EQ(timer.remainingTime(), 900s);
    EXPECT_EQ(utf16::toUtf8(timer.statusText()), "定时：还剩 15:00");
    clock.advance(14min + 19s);
    EXPECT_EQ(utf16::toUtf8(timer.statusText()), "定时：还剩 0:41");
    EXPECT_EQ(timer.beforePiece().volume, 100) << "full volume until the last 20 seconds";
    clock.advance(21s);  // 20 s left
    EXPECT_EQ(timer.beforePiece().volume, 100);
    clock.advance(10s);  // 10 s left: half way down from 100 to 20
    const PieceVerdict half = timer.beforePiece();
    EXPECT_FALSE(half.stop);
    EXPECT_EQ(half.volume, 60);
    clock.advance(9500ms);
    EXPECT_EQ(timer.beforePiece().volume, 22);
    EXPECT_FALSE(timer.ranOut());
    clock.advance(500ms);
    EXPECT_TRUE(timer.beforePiece().stop);
    EXPECT_TRUE(timer.ranOut());
    EXPECT_FALSE(timer.armed()) << "a timer that ran out is off";
    EXPECT_FALSE(timer.beforePiece().stop);
    EXPECT_TRUE(timer.statusText().empty());
}

TEST(SleepTimer, ChaptersCountTheCurrentChapterAsTheFirst)
{
    HandClock clock;
    SleepTimer timer(clock);
    timer.arm({SleepKind::Chapters, 3});
    EXPECT_EQ(utf16::toUtf8(timer.statusText()), "定时：还剩 3 章");
    EXPECT_FALSE(timer.remainingTime().has_value());
    clock.advance(10h);
    EXPECT_FALSE(timer.beforePiece().stop) << "time does not end a chapter timer";
    EXPECT_FALSE(timer.chapterFinished());
    EXPECT_FALSE(timer.chapterFinished());
    EXPECT_EQ(timer.remainingChapters(), 1);
    EXPECT_TRUE(timer.chapterFinished());
    EXPECT_TRUE(timer.ranOut());
    EXPECT_FALSE(timer.chapterFinished()) << "off after running out";

    timer.arm({SleepKind::EndOfChapter, 7});
    EXPECT_EQ(utf16::toUtf8(timer.statusText()), "定时：本章结束");
    EXPECT_FALSE(timer.ranOut()) << "arming again clears the last run-out";
    EXPECT_TRUE(timer.chapterFinished());

    timer.arm({SleepKind::Chapters, 0});
    EXPECT_TRUE(timer.chapterFinished()) << "fewer than one chapter counts as one";
    timer.arm({SleepKind::Minutes, 30});
    EXPECT_FALSE(timer.chapterFinished()) << "chapters do not end a timed setting";
    timer.disarm();
    EXPECT_FALSE(timer.armed());
}

// Reading aloud under a sleep timer, on the fake engine.
class SleepingRunnerTest : public ::testing::Test, public ReadAloudSink {
protected:
    void paragraphStarted(std::size_t) override {}
    void pieceStarted(std::size_t, TextPos, TextPos) override {}
    void pieceFinished(std::size_t, TextPos, TextPos) override {}
    ChapterSnapshot nextChapter(std::stop_token) override
    {
        ++m_chaptersAsked;
        return m_chapter;  // the same chapter over and over
    }
    void runEnded(RunEnd end, const std::string&) override { m_end = end; }

    // Three pieces a chapter.
    ChapterSnapshot m_chapter = std::make_shared<const ChapterTexts>(
        ChapterTexts{u"一二三四五六七八九十甲乙，丙丁。\r", u"第二段。\r"});
    HandClock m_clock;
    SleepTimer m_timer{m_clock};
    FakeSpeechEngine m_engine;
    ReadAloudRunner m_runner{m_engine, *this, &m_timer};
    std::atomic<int> m_chaptersAsked{0};
    std::atomic<RunEnd> m_end{RunEnd::Finished};
};

TEST_F(SleepingRunnerTest, AfterTwoChaptersReadingStopsAtTheNextChapter)
{
    m_timer.arm({SleepKind::Chapters, 2});
    ASSERT_TRUE(m_runner.start({ReadAloudMode::WholeChapter, m_chapter, 0, 0}).ok());
    m_runner.wait();
    EXPECT_EQ(m_end.load(), RunEnd::TimerEnded);
    EXPECT_EQ(m_engine.spoken().size(), 6u) << "two chapters of three pieces";
    EXPECT_EQ(m_chaptersAsked.load(), 2) << "the next chapter is opened, not read";
}

TEST_F(SleepingRunnerTest, TheLastSecondsFadeOutAndTheVolumeIsRestored)
{
    m_timer.arm({SleepKind::Minutes, 1});
    // Each piece takes 8 seconds of the hand clock.
    m_engine.setSpeakHook([&](std::u16string_view, std::size_t) { m_clock.advance(8s); });
    ASSERT_TRUE(m_runner.start({ReadAloudMode::WholeChapter, m_chapter, 0, 0}).ok());
    m_runner.wait();
    EXPECT_EQ(m_end.load(), RunEnd::TimerEnded);
    // Pieces start at 0, 8, ... 56 s: eight of them; the last two fall in
    // the final 20 seconds (12 s and 4 s left).
    EXPECT_EQ(m_engine.spokenVolumes(), (std::vector<int>{100, 100, 100, 100, 100, 100, 68, 36}));
    EXPECT_EQ(m_engine.volume(), kFullVolume);
    EXPECT_TRUE(m_timer.ranOut());
}

TEST_F(SleepingRunnerTest, AStoppedRunLeavesTheTimerArmed)
{
    m_timer.arm({SleepKind::EndOfChapter, 1});
    m_engine.setSpeakHook([&](std::u16string_view, std::size_t index) {
        if (index == 0)
            m_runner.stop();
    });
    ASSERT_TRUE(m_runner.start({ReadAloudMode::WholeChapter, m_chapter, 0, 0}).ok());
    m_runner.wait();
    EXPECT_EQ(m_end.load(), RunEnd::Stopped);
    EXPECT_TRUE(m_timer.armed());
    EXPECT_FALSE(m_timer.ranOut());
}

}  // namespace
}  // namespace veyla::speech
