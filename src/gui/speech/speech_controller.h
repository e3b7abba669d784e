// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "core/speech/read_aloud_runner.h"

class QStatusBar;
class QWidget;

namespace veyla::gui {

class CommandRouter;
class DisplayController;
class DisplayState;
class QueuedReadAloudSink;
class ReadingView;
class RibbonBar;

// Read-aloud in the desktop app. Lives on the GUI thread and owns the
// program's speech engine, one read-aloud runner and the sink that brings
// the worker's reports back to this thread: the spoken piece is
// highlighted and kept in view, the caret follows it, and at the end of a
// chapter "下一页" opens the next one. Binds the commands of the ribbon
// panel "朗读": the three start commands, stop, the four rates, the voice
// combo, "设置朗诵者" and the page about more voices. The voice and rate
// live in the display settings (nVoice, nRate), which are written at exit.
class SpeechController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kVoicesPage = "https://github.com/espeak-ng/espeak-ng/blob/master/docs/languages.md";
    static constexpr int kRateNormal = 0;
    static constexpr int kRateFaster = 3;
    static constexpr int kRateFast = 7;
    static constexpr int kRateFastest = 10;

    SpeechController(DisplayState& display, ReadingView& view, CommandRouter& router, RibbonBar& ribbon,
                     DisplayController& displayCommands, QStatusBar& status, QWidget* window);
    ~SpeechController() override;

    // Opens the default sound device (or the silent output, saying so in
    // the status bar) and starts espeak-ng on it; without espeak-ng there
    // is no engine and the start commands say so.
    void startDefaultEngine();
    // Replaces the engine (tests give a fake one); a run is stopped first.
    // The stored voice and rate are applied to it and the voice list filled.
    void setEngine(std::unique_ptr<speech::SpeechEngine> engine);
    speech::SpeechEngine* engine() const { return m_engine.get(); }

    // Whether a run is going on (it may be ending after a stop).
    bool isReading() const;
    // Ends the run after the piece being spoken; returns at once.
    void stop();
    // Waits until the run has ended.
    void wait();

    // Where the voices page is opened; tests replace it.
    using BrowserOpener = std::function<void(const std::string& url)>;
    void setBrowserOpener(BrowserOpener opener) { m_openBrowser = std::move(opener); }

signals:
    // A run ended, for whoever waits for it (tests, the status bar).
    void runEnded(speech::RunEnd end);

private:
    void bindCommands();
    void start(speech::ReadAloudMode mode);
    // Starts again from the current line when a run is going on and no stop is pending.
    void restartIfReading();
    void changeRate(int rate);
    void chooseVoiceFromCombo();
    void applyStoredVoice();
    // The selected voice becomes the stored one, by index and by name.
    void rememberSelectedVoice();
    void fillVoiceList();
    void chooseSpeaker();

    // The sink's handlers, on the GUI thread.
    void paragraphStarted(std::size_t paragraph);
    void pieceStarted(std::size_t paragraph, TextPos begin, TextPos end);
    void pieceFinished(std::size_t paragraph, TextPos begin, TextPos end);
    speech::ChapterSnapshot nextChapter();
    void ended(speech::RunEnd end, const std::string& detail);
    // The view shows another chapter than the one being read.
    void chapterShown();
    bool showsRunChapter() const { return m_runShown == m_shownCount; }

    DisplayState& m_display;
    ReadingView& m_view;
    CommandRouter& m_router;
    RibbonBar& m_ribbon;
    DisplayController& m_displayCommands;
    QStatusBar& m_status;
    QWidget* m_window;
    BrowserOpener m_openBrowser;
    // Declared so that the runner goes first, then the sink, then the engine.
    std::unique_ptr<speech::SpeechEngine> m_engine;
    std::unique_ptr<QueuedReadAloudSink> m_sink;
    std::unique_ptr<speech::ReadAloudRunner> m_runner;
    bool m_stopPending = false;
    bool m_turningPage = false;  // the run itself opens the next chapter
    unsigned m_shownCount = 0;   // chapters shown by the view so far
    unsigned m_runShown = 0;     // the count when the chapter being read was shown
};

}  // namespace veyla::gui
