// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "core/speech/sleep_timer.h"
#include "core/speech/speech_engine.h"

namespace veyla::speech {

// An immutable copy of the open chapter's paragraph texts, each the
// concatenation of its glyph characters with its lines ending in "\r".
// Shared with the worker, so the view may change the chapter meanwhile.
using ChapterTexts = std::vector<std::u16string>;
using ChapterSnapshot = std::shared_ptr<const ChapterTexts>;

enum class ReadAloudMode {
    WholeChapter = 0,  // from the chapter's first paragraph, on into the next chapters
    Paragraph = 1,     // one paragraph, then the run ends
    FromPosition = 2,  // from a position in a paragraph, on into the next chapters
};

struct ReadAloudStart {
    ReadAloudMode mode = ReadAloudMode::WholeChapter;
    ChapterSnapshot chapter;    // null: no document is open, the run ends at once
    std::size_t paragraph = 0;  // Paragraph and FromPosition: the paragraph to start with
    TextPos offset = 0;         // FromPosition: where to start in it (the current line's first glyph)
};

enum class RunEnd {
    Finished,       // the paragraph of a Paragraph run was spoken
    Stopped,        // stop() or a new start
    NoDocument,     // no chapter was given, or nextChapter() found none open
    NothingToRead,  // a chapter of blanks only was followed by itself again
    Failed,         // the engine failed (the sound device went away)
    TimerEnded,     // the sleep timer ran out
};

// What the read-aloud worker tells the view. Every call comes on the
// worker thread: the GUI wrapper queues the highlight and scroll changes
// to its own thread and never blocks there, except in nextChapter().
class ReadAloudSink {
public:
    virtual ~ReadAloudSink() = default;

    // The worker moved on to a paragraph: scroll it into view, or make it
    // the shown paragraph in paragraph mode.
    virtual void paragraphStarted(std::size_t paragraph) = 0;
    // The piece [begin, end) of a paragraph (UTF-16 units) is being spoken:
    // highlight it and keep it in view.
    virtual void pieceStarted(std::size_t paragraph, TextPos begin, TextPos end) = 0;
    // The piece has been spoken (or cut short): clear its highlight.
    virtual void pieceFinished(std::size_t paragraph, TextPos begin, TextPos end) = 0;
    // The chapter has been read to its end: open the next chapter (as the
    // "下一页" command does) on the GUI thread and return its paragraph
    // texts; return the same chapter's texts when there is no next one
    // (reading starts over at its first paragraph), or null when no
    // document is open any more (the run ends). The worker waits for the
    // answer; the wrapper must also return (null) once stop is requested,
    // because the GUI thread may be waiting in start(), stop()+wait() or
    // the destructor for the worker to end.
    virtual ChapterSnapshot nextChapter(std::stop_token stop) = 0;
    // The run is over; the last call of a run.
    virtual void runEnded(RunEnd end, const std::string& detail) = 0;
};

// Reads a chapter aloud on a worker thread, piece by piece, through a
// SpeechEngine, telling a ReadAloudSink what it is doing.
//
// How the desktop app drives it: one controller object on the GUI thread
// owns the process's engine (EspeakEngine::create on openDefaultOutput()'s
// output; when that output is the null one the status bar says so once),
// one runner and a sink. The start commands build a ChapterSnapshot from
// the open chapter's paragraphs and call start() with the mode, the current
// paragraph and the current line's first glyph; "停止朗读" calls stop(); the
// rate commands call the engine's setRate and the voice combo its
// selectVoice (then restart in FromPosition mode when a run is going on).
// The sink posts every call to the GUI thread as a queued call (the view
// sets and clears the highlight of [begin, end), scrolls, moves the shown
// paragraph) and returns at once; only nextChapter waits for the GUI
// thread's answer, on a condition that the stop token also wakes. Closing
// the view calls stop() and wait() (or destroys the runner).
//
// At most one run exists: start() stops the previous run and waits for it
// to end before the new one begins. stop() ends a run after its current
// piece: no further piece is started, and the piece being spoken is cut
// short at once through the engine's stop, so that stopping and shutting
// down never wait for a long piece to be played out.
//
// start, wait and the destructor belong to one owning thread (the GUI
// thread) and must not be called from the sink; stop and idle may be
// called from any thread, the sink included.
//
// With a sleep timer the run asks it before every piece and stops when the
// time is up (the pieces of its last seconds are spoken ever more quietly),
// and tells it of every chapter read to its end. When the last chapter the
// timer allows has been read, the run still asks for the next chapter (so
// the view shows where listening will go on) and then ends with
// TimerEnded, before speaking anything of it.
class ReadAloudRunner {
public:
    ReadAloudRunner(SpeechEngine& engine, ReadAloudSink& sink, SleepTimer* timer = nullptr);
    ~ReadAloudRunner();
    ReadAloudRunner(const ReadAloudRunner&) = delete;
    ReadAloudRunner& operator=(const ReadAloudRunner&) = delete;

    // Stops and joins the previous run, then starts a new one.
    // InvalidArgument when called from the worker itself.
    Status start(ReadAloudStart start);
    void stop();
    // Ends the run once the piece being spoken has been played out (a
    // pause: the listener resumes at the next piece). Any thread.
    void finishPieceThenStop() { m_finishPiece.store(true); }
    // Where the run after the last piece that ended would go on: its
    // paragraph and the end of that piece. Any thread.
    struct Place {
        std::size_t paragraph = 0;
        TextPos offset = 0;
    };
    Place afterLastPiece() const
    {
        std::lock_guard lock(m_placeMutex);
        return m_afterLastPiece;
    }
    // Waits until the current run (if any) has ended.
    void wait();
    // True when no run is going on.
    bool idle() const { return !m_running.load(); }

private:
    struct Outcome {
        RunEnd end = RunEnd::Stopped;
        std::string detail;
    };
    // SpokeNothing: the paragraph holds nothing but blanks.
    enum class ParagraphEnd { Spoken, SpokeNothing, Stopped, Failed, TimerEnded };

    void run(std::stop_token stop, ReadAloudStart start);
    Outcome read(std::stop_token stop, ReadAloudStart start);
    // Speaks one paragraph from offset; failure receives the engine's error.
    ParagraphEnd speakParagraph(std::stop_token stop, const ChapterTexts& chapter, std::size_t paragraph,
                                TextPos offset, std::string& failure);

    SpeechEngine& m_engine;
    ReadAloudSink& m_sink;
    SleepTimer* const m_timer;
    std::jthread m_thread;
    std::atomic<std::thread::id> m_workerId;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_finishPiece{false};
    mutable std::mutex m_placeMutex;
    Place m_afterLastPiece;
    std::mutex m_stopMutex;
    std::stop_source m_stopSource{std::nostopstate};
};

}  // namespace veyla::speech
