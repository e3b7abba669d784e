// SPDX-License-Identifier: MIT
#include "core/speech/read_aloud_runner.h"

#include "core/speech/speech_piece.h"

namespace veyla::speech {

ReadAloudRunner::ReadAloudRunner(SpeechEngine& engine, ReadAloudSink& sink, SleepTimer* timer)
    : m_engine(engine), m_sink(sink), m_timer(timer)
{
}

ReadAloudRunner::~ReadAloudRunner()
{
    stop();
    wait();
}

Status ReadAloudRunner::start(ReadAloudStart start)
{
    if (std::this_thread::get_id() == m_workerId.load())
        return Error{ErrorCode::InvalidArgument, "a read-aloud run cannot restart itself"};
    stop();
    wait();
    // The stop source exists before the worker does, so that a stop from
    // the worker's first callbacks already reaches it.
    std::stop_token token;
    {
        std::lock_guard lock(m_stopMutex);
        m_stopSource = std::stop_source();
        token = m_stopSource.get_token();
    }
    m_running.store(true);
    m_finishPiece.store(false);
    m_thread = std::jthread([this, token, start = std::move(start)] { run(token, start); });
    return {};
}

void ReadAloudRunner::stop()
{
    std::lock_guard lock(m_stopMutex);
    m_stopSource.request_stop();
}

void ReadAloudRunner::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void ReadAloudRunner::run(std::stop_token stop, ReadAloudStart start)
{
    m_workerId.store(std::this_thread::get_id());
    const Outcome outcome = read(stop, std::move(start));
    m_engine.setVolume(kFullVolume);  // a fade-out ends with the run
    m_sink.runEnded(outcome.end, outcome.detail);
    m_workerId.store(std::thread::id());
    m_running.store(false);
}

ReadAloudRunner::Outcome ReadAloudRunner::read(std::stop_token stop, ReadAloudStart start)
{
    ChapterSnapshot chapter = std::move(start.chapter);
    if (chapter == nullptr)
        return {RunEnd::NoDocument, {}};
    std::string failure;
    if (start.mode == ReadAloudMode::Paragraph) {
        if (start.paragraph >= chapter->size())
            return {RunEnd::Finished, {}};
        m_sink.paragraphStarted(start.paragraph);
        const ParagraphEnd end = speakParagraph(stop, *chapter, start.paragraph, 0, failure);
        if (end == ParagraphEnd::Failed)
            return {RunEnd::Failed, failure};
        if (end == ParagraphEnd::TimerEnded)
            return {RunEnd::TimerEnded, {}};
        return {end == ParagraphEnd::Stopped ? RunEnd::Stopped : RunEnd::Finished, {}};
    }

    std::size_t paragraph = start.mode == ReadAloudMode::WholeChapter ? 0 : start.paragraph;
    TextPos offset = start.mode == ReadAloudMode::WholeChapter ? 0 : start.offset;
    bool spokeAny = false;
    for (;;) {
        for (; paragraph < chapter->size(); ++paragraph, offset = 0) {
            if (stop.stop_requested())
                return {RunEnd::Stopped, {}};
            m_sink.paragraphStarted(paragraph);
            const ParagraphEnd end = speakParagraph(stop, *chapter, paragraph, offset, failure);
            if (end == ParagraphEnd::Failed)
                return {RunEnd::Failed, failure};
            if (end == ParagraphEnd::TimerEnded)
                return {RunEnd::TimerEnded, {}};
            if (end == ParagraphEnd::Stopped || stop.stop_requested())
                return {RunEnd::Stopped, {}};
            spokeAny = spokeAny || end == ParagraphEnd::Spoken;
        }
        const bool timerEnded = m_timer != nullptr && m_timer->chapterFinished();
        if (m_finishPiece.load())
            return {RunEnd::Stopped, {}};
        ChapterSnapshot next = m_sink.nextChapter(stop);
        if (timerEnded)  // unless the book ended first
            return {next == nullptr ? RunEnd::NoDocument : RunEnd::TimerEnded, {}};
        if (stop.stop_requested())
            return {RunEnd::Stopped, {}};
        if (next == nullptr)
            return {RunEnd::NoDocument, {}};
        // Going round a chapter without text for ever would only burn time.
        if (!spokeAny && (next == chapter || *next == *chapter))
            return {RunEnd::NothingToRead, {}};
        chapter = std::move(next);
        paragraph = 0;
        offset = 0;
        spokeAny = false;
    }
}

ReadAloudRunner::ParagraphEnd ReadAloudRunner::speakParagraph(std::stop_token stop, const ChapterTexts& chapter,
                                                              std::size_t paragraph, TextPos offset,
                                                              std::string& failure)
{
    const std::u16string& text = chapter[paragraph];
    bool spoke = false;
    for (TextPos pos = offset;;) {
        if (stop.stop_requested() || m_finishPiece.load())
            return ParagraphEnd::Stopped;
        const SpeechPiece piece = cutSpeechPiece(text, pos);
        if (piece.empty())
            break;
        if (m_timer != nullptr) {
            const PieceVerdict verdict = m_timer->beforePiece();
            if (verdict.stop)
                return ParagraphEnd::TimerEnded;
            m_engine.setVolume(verdict.volume);
        }
        m_sink.pieceStarted(paragraph, piece.begin, piece.end);
        const Status spoken = m_engine.speak(piece.text, stop);
        {
            std::lock_guard lock(m_placeMutex);
            m_afterLastPiece = {paragraph, piece.end};
        }
        m_sink.pieceFinished(paragraph, piece.begin, piece.end);
        spoke = spoke || utf16::trim(piece.text, u" \t\u3000").size() > 0;
        if (!spoken && spoken.code() != ErrorCode::Cancelled) {
            failure = spoken.error().detail;
            return ParagraphEnd::Failed;
        }
        pos = piece.end;
    }
    return spoke ? ParagraphEnd::Spoken : ParagraphEnd::SpokeNothing;
}

}  // namespace veyla::speech
