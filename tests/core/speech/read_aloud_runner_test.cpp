// SPDX-License-Identifier: MIT
#include "core/speech/read_aloud_runner.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>

#include "core/speech/fake_speech_engine.h"
#include "core/util/utf16.h"

namespace veyla::speech {
namespace {

using namespace std::chrono_literals;
constexpr auto kHangGuard = 30s;  // only a broken runner ever waits this long

ChapterSnapshot chapter(std::vector<std::u16string> paragraphs)
{
    return std::make_shared<const ChapterTexts>(std::move(paragraphs));
}

// Records what the runner reports, as short lines, and answers
// nextChapter() from a queue (null once the queue is empty).
class RecordingSink : public ReadAloudSink {
public:
    void paragraphStarted(std::size_t paragraph) override { record("paragraph " + std::to_string(paragraph)); }
    void pieceStarted(std::size_t paragraph, TextPos begin, TextPos end) override
    {
        record("start " + range(paragraph, begin, end));
        if (onPiece)
            onPiece();
    }
    void pieceFinished(std::size_t paragraph, TextPos begin, TextPos end) override
    {
        record("finish " + range(paragraph, begin, end));
    }
    ChapterSnapshot nextChapter(std::stop_token stop) override
    {
        record("next");
        std::unique_lock lock(m_mutex);
        if (blockInNextChapter) {
            std::condition_variable_any wake;
            wake.wait(lock, stop, [] { return false; });
            return nullptr;
        }
        if (m_next.empty())
            return nullptr;
        ChapterSnapshot next = m_next.front();
        m_next.pop_front();
        return next;
    }
    void runEnded(RunEnd end, const std::string& detail) override
    {
        record("ended " + std::to_string(static_cast<int>(end)) + (detail.empty() ? "" : " " + detail));
        std::lock_guard lock(m_mutex);
        ++m_runsEnded;
        m_changed.notify_all();
    }

    void queueNext(ChapterSnapshot next)
    {
        std::lock_guard lock(m_mutex);
        m_next.push_back(std::move(next));
    }
    bool waitForRunsEnded(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, kHangGuard, [&] { return m_runsEnded >= count; });
    }
    std::vector<std::string> events() const
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    std::vector<std::string> eventsStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& e : events()) {
            if (e.rfind(prefix, 0) == 0)
                out.push_back(e);
        }
        return out;
    }

    std::function<void()> onPiece;
    bool blockInNextChapter = false;

private:
    static std::string range(std::size_t paragraph, TextPos begin, TextPos end)
    {
        return std::to_string(paragraph) + ":" + std::to_string(begin) + "-" + std::to_string(end);
    }
    void record(std::string event)
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
        m_changed.notify_all();
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_events;
    std::deque<ChapterSnapshot> m_next;
    int m_runsEnded = 0;
};

std::string ended(RunEnd end)
{
    return "ended " + std::to_string(static_cast<int>(end));
}

std::vector<std::string> utf8(const std::vector<std::u16string>& texts)
{
    std::vector<std::string> out;
    for (const auto& t : texts)
        out.push_back(utf16::toUtf8(t));
    return out;
}

class ReadAloudRunnerTest : public ::testing::Test {
protected:
    // Two paragraphs: the first cut into two pieces (a clause of 12
    // characters, then the rest), the second one piece.
    ChapterSnapshot m_first = chapter({u"一二三四五六七八九十甲乙，丙丁。\r", u"第二段。\r"});
    ChapterSnapshot m_second = chapter({u"下一章的第一段。\r"});
    FakeSpeechEngine m_engine;
    RecordingSink m_sink;
    std::unique_ptr<ReadAloudRunner> m_runner = std::make_unique<ReadAloudRunner>(m_engine, m_sink);
};

TEST_F(ReadAloudRunnerTest, WholeChapterSpeaksEveryPieceInOrderWithHighlights)
{
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 1, 3}).ok());
    ASSERT_TRUE(m_sink.waitForRunsEnded(1));
    m_runner->wait();
    EXPECT_TRUE(m_runner->idle());
    EXPECT_EQ(utf8(m_engine.spoken()), (std::vector<std::string>{"一二三四五六七八九十甲乙", "，丙丁。", "第二段。"}));
    EXPECT_EQ(m_sink.events(), (std::vector<std::string>{"paragraph 0", "start 0:0-12", "finish 0:0-12",
                                                          "start 0:12-16", "finish 0:12-16", "paragraph 1",
                                                          "start 1:0-4", "finish 1:0-4", "next",
                                                          ended(RunEnd::NoDocument)}));
}

TEST_F(ReadAloudRunnerTest, ParagraphModeSpeaksOneParagraphAndEnds)
{
    ASSERT_TRUE(m_runner->start({ReadAloudMode::Paragraph, m_first, 1, 2}).ok());
    m_runner->wait();
    EXPECT_EQ(utf8(m_engine.spoken()), (std::vector<std::string>{"第二段。"}));
    EXPECT_EQ(m_sink.events(), (std::vector<std::string>{"paragraph 1", "start 1:0-4", "finish 1:0-4",
                                                          ended(RunEnd::Finished)}));
}

TEST_F(ReadAloudRunnerTest, FromPositionStartsInsideTheParagraphAndGoesOn)
{
    ASSERT_TRUE(m_runner->start({ReadAloudMode::FromPosition, m_first, 0, 12}).ok());
    m_runner->wait();
    EXPECT_EQ(utf8(m_engine.spoken()), (std::vector<std::string>{"，丙丁。", "第二段。"}));
    EXPECT_EQ(m_sink.eventsStartingWith("start"), (std::vector<std::string>{"start 0:12-16", "start 1:0-4"}));
}

TEST_F(ReadAloudRunnerTest, ContinuesIntoTheNextChapterFromItsFirstParagraph)
{
    m_sink.queueNext(m_second);
    ASSERT_TRUE(m_runner->start({ReadAloudMode::FromPosition, m_first, 1, 0}).ok());
    m_runner->wait();
    EXPECT_EQ(utf8(m_engine.spoken()), (std::vector<std::string>{"第二段。", "下一章的第一段。"}));
    EXPECT_EQ(m_sink.eventsStartingWith("next").size(), 2u);
    EXPECT_EQ(m_sink.events().back(), ended(RunEnd::NoDocument));
}

TEST_F(ReadAloudRunnerTest, WithoutANextChapterReadingStartsOverInTheSameChapter)
{
    m_sink.queueNext(m_second);
    m_sink.queueNext(m_second);  // no chapter after it: the view answers with the same one
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0}).ok());
    m_runner->wait();
    EXPECT_EQ(utf8(m_engine.spoken()), (std::vector<std::string>{"一二三四五六七八九十甲乙", "，丙丁。", "第二段。",
                                                                  "下一章的第一段。", "下一章的第一段。"}));
}

TEST_F(ReadAloudRunnerTest, NoDocumentEndsTheRunAtOnce)
{
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, nullptr, 0, 0}).ok());
    m_runner->wait();
    EXPECT_TRUE(m_engine.spoken().empty());
    EXPECT_EQ(m_sink.events(), (std::vector<std::string>{ended(RunEnd::NoDocument)}));
}

TEST_F(ReadAloudRunnerTest, StopTakesEffectAfterTheCurrentPiece)
{
    m_engine.setSpeakHook([&](std::u16string_view, std::size_t index) {
        if (index == 1)
            m_runner->stop();
    });
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0}).ok());
    m_runner->wait();
    EXPECT_EQ(m_engine.spoken().size(), 2u) << "no piece starts after the stop";
    const auto events = m_sink.events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], "finish 0:12-16") << "the stopped piece is still cleared";
    EXPECT_EQ(events.back(), ended(RunEnd::Stopped));
}

TEST_F(ReadAloudRunnerTest, FinishPieceThenStopLetsThePiecePlayOutAndKnowsWhereToGoOn)
{
    m_engine.setSpeakHook([&](std::u16string_view, std::size_t index) {
        if (index == 0)
            m_runner->finishPieceThenStop();
    });
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0}).ok());
    m_runner->wait();
    EXPECT_EQ(utf8(m_engine.spoken()), (std::vector<std::string>{"一二三四五六七八九十甲乙"}));
    EXPECT_EQ(m_sink.events().back(), ended(RunEnd::Stopped));
    EXPECT_EQ(m_runner->afterLastPiece().paragraph, 0u);
    EXPECT_EQ(m_runner->afterLastPiece().offset, 12);
    // A new run goes on as usual: the pause is not kept.
    m_engine.setSpeakHook({});
    ASSERT_TRUE(m_runner->start({ReadAloudMode::FromPosition, m_first, 0, 12}).ok());
    m_runner->wait();
    EXPECT_EQ(m_engine.spoken().size(), 3u);
}

TEST_F(ReadAloudRunnerTest, StopCutsALongPieceShort)
{
    m_engine.setDuration(FakeSpeechEngine::Duration::UntilStopped);
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0}).ok());
    ASSERT_TRUE(m_engine.waitForSpoken(1, kHangGuard));
    EXPECT_FALSE(m_runner->idle());
    m_runner->stop();
    m_runner->wait();
    EXPECT_TRUE(m_runner->idle());
    EXPECT_EQ(m_engine.spoken().size(), 1u);
    EXPECT_EQ(m_sink.events().back(), ended(RunEnd::Stopped));
}

TEST_F(ReadAloudRunnerTest, NewStartStopsTheRunAndBeginsAgainAtTheFirstParagraph)
{
    m_engine.setDuration(FakeSpeechEngine::Duration::UntilStopped);
    ASSERT_TRUE(m_runner->start({ReadAloudMode::FromPosition, m_first, 1, 0}).ok());
    ASSERT_TRUE(m_engine.waitForSpoken(1, kHangGuard));
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0}).ok());
    // The first run has ended before the second began.
    ASSERT_TRUE(m_sink.waitForRunsEnded(1));
    ASSERT_TRUE(m_engine.waitForSpoken(2, kHangGuard));
    m_runner->stop();
    m_runner->wait();
    EXPECT_EQ(utf8(m_engine.spoken()), (std::vector<std::string>{"第二段。", "一二三四五六七八九十甲乙"}));
    const auto events = m_sink.events();
    const auto firstEnd = std::find(events.begin(), events.end(), ended(RunEnd::Stopped));
    const auto secondStart = std::find(events.begin(), events.end(), "start 0:0-12");
    EXPECT_LT(firstEnd, secondStart);
}

TEST_F(ReadAloudRunnerTest, StopReachesASinkWaitingForTheNextChapter)
{
    m_sink.blockInNextChapter = true;
    ASSERT_TRUE(m_runner->start({ReadAloudMode::Paragraph, m_first, 1, 0}).ok());
    m_runner->wait();  // a paragraph run never asks for the next chapter
    ASSERT_TRUE(m_runner->start({ReadAloudMode::FromPosition, m_first, 1, 0}).ok());
    ASSERT_TRUE(m_engine.waitForSpoken(2, kHangGuard));
    m_runner->stop();
    m_runner->wait();
    EXPECT_EQ(m_sink.events().back(), ended(RunEnd::Stopped));
}

TEST_F(ReadAloudRunnerTest, AChapterWithoutTextFollowedByItselfEndsTheRun)
{
    const ChapterSnapshot empty = chapter({u"\r", u"  \r"});
    m_sink.queueNext(empty);
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, empty, 0, 0}).ok());
    m_runner->wait();
    EXPECT_EQ(m_sink.events().back(), ended(RunEnd::NothingToRead));
}

TEST_F(ReadAloudRunnerTest, EngineFailureEndsTheRunWithItsReason)
{
    m_engine.setFailure(Error{ErrorCode::DeviceUnavailable, "unplugged"});
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0}).ok());
    m_runner->wait();
    EXPECT_EQ(m_engine.spoken().size(), 1u);
    EXPECT_EQ(m_sink.events().back(), ended(RunEnd::Failed) + " unplugged");
}

TEST_F(ReadAloudRunnerTest, TheWorkerCannotRestartItself)
{
    Status fromWorker;
    m_sink.onPiece = [&] {
        if (fromWorker.ok())
            fromWorker = m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0});
    };
    ASSERT_TRUE(m_runner->start({ReadAloudMode::Paragraph, m_first, 1, 0}).ok());
    m_runner->wait();
    ASSERT_FALSE(fromWorker.ok());
    EXPECT_EQ(fromWorker.code(), ErrorCode::InvalidArgument);
}

TEST_F(ReadAloudRunnerTest, DestroyingTheRunnerStopsTheRun)
{
    m_engine.setDuration(FakeSpeechEngine::Duration::UntilStopped);
    ASSERT_TRUE(m_runner->start({ReadAloudMode::WholeChapter, m_first, 0, 0}).ok());
    ASSERT_TRUE(m_engine.waitForSpoken(1, kHangGuard));
    m_runner.reset();
    EXPECT_EQ(m_sink.events().back(), ended(RunEnd::Stopped));
}

}  // namespace
}  // namespace veyla::speech
