// SPDX-License-Identifier: MIT
#include "gui/speech/speech_controller.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStatusBar>

#include "core/platform/shell_open.h"
#include "core/speech/espeak_engine.h"
#include "core/speech/voice_preference.h"
#include "core/util/utf16.h"
#include "gui/app/message_box.h"
#include "gui/app/messages.h"
#include "gui/commands/command_router.h"
#include "gui/speech/queued_read_aloud_sink.h"
#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_view.h"
#include "gui/window/ribbon_bar.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;
using speech::ReadAloudMode;
using speech::RunEnd;

namespace {

constexpr int kNoVoiceShown = -1;

}  // namespace

SpeechController::SpeechController(DisplayState& display, ReadingView& view, CommandRouter& router,
                                   RibbonBar& ribbon, DisplayController& displayCommands, QStatusBar& status,
                                   QWidget* window)
    : QObject(window), m_display(display), m_view(view), m_router(router), m_ribbon(ribbon),
      m_displayCommands(displayCommands), m_status(status), m_window(window),
      m_openBrowser([](const std::string& url) { (void)platform::openInBrowser(url); })
{
    QueuedReadAloudSink::Handlers handlers;
    handlers.paragraphStarted = [this](std::size_t p) { paragraphStarted(p); };
    handlers.pieceStarted = [this](std::size_t p, TextPos b, TextPos e) { pieceStarted(p, b, e); };
    handlers.pieceFinished = [this](std::size_t p, TextPos b, TextPos e) { pieceFinished(p, b, e); };
    handlers.nextChapter = [this] { return nextChapter(); };
    handlers.runEnded = [this](RunEnd end, const std::string& detail) { ended(end, detail); };
    m_sink = std::make_unique<QueuedReadAloudSink>(*this, std::move(handlers));
    connect(&m_view, &ReadingView::chapterShown, this, &SpeechController::chapterShown);
    connect(&m_displayCommands, &DisplayController::presetsApplied, this, &SpeechController::applyStoredVoice);
    bindCommands();
    fillVoiceList();
}

SpeechController::~SpeechController()
{
    // The runner's worker reports to this object: it ends before anything else goes.
    m_runner.reset();
}

void SpeechController::startDefaultEngine()
{
    speech::OutputChoice output = speech::openDefaultOutput(speech::NullPace::RealTime);
    const bool silent = output.kind == speech::OutputKind::Null;
    const std::string reason = output.reason;
    auto engine = speech::EspeakEngine::create(std::move(output.output));
    if (!engine) {
        m_status.showMessage(messageFor(engine.code(), Operation::Other));
        setEngine(nullptr);
        return;
    }
    if (silent) {
        m_status.showMessage(u"没有可用的声音设备，朗读将静音进行（%1）"_s.arg(QString::fromStdString(reason)));
    }
    setEngine(std::move(*engine));
}

void SpeechController::setEngine(std::unique_ptr<speech::SpeechEngine> engine)
{
    m_runner.reset();
    m_engine = std::move(engine);
    if (m_engine != nullptr) {
        m_engine->setRate(m_display.settings.rate);
        // The stored name chooses the voice; the stored index only follows the choice.
        const int chosen = speech::voiceByName(m_engine->voices(), utf16::toUtf8(m_display.settings.voiceName));
        if (chosen >= 0 && chosen != m_engine->selectedVoice())
            (void)m_engine->selectVoice(static_cast<std::size_t>(chosen));
        if (m_engine->selectedVoice() >= 0)
            m_display.settings.voice = m_engine->selectedVoice();
        m_runner = std::make_unique<speech::ReadAloudRunner>(*m_engine, *m_sink);
    }
    fillVoiceList();
}

bool SpeechController::isReading() const
{
    return m_runner != nullptr && !m_runner->idle();
}

void SpeechController::stop()
{
    if (m_runner == nullptr)
        return;
    m_stopPending = true;
    m_runner->stop();
}

void SpeechController::wait()
{
    if (m_runner != nullptr)
        m_runner->wait();
}

void SpeechController::bindCommands()
{
    m_router.bind(kSpeakAll, [this] { start(ReadAloudMode::WholeChapter); });
    m_router.bind(kSpeakParagraph, [this] { start(ReadAloudMode::Paragraph); });
    m_router.bind(kSpeakContinue, [this] { start(ReadAloudMode::FromPosition); });
    m_router.bind(kStopSpeaking, [this] { stop(); });
    m_router.bind(kSpeakRateNormal, [this] { changeRate(kRateNormal); });
    m_router.bind(kSpeakRateFaster1, [this] { changeRate(kRateFaster); });
    m_router.bind(kSpeakRateFaster2, [this] { changeRate(kRateFast); });
    m_router.bind(kSpeakRateFast3, [this] { changeRate(kRateFastest); });
    m_router.bind(kSpeakerCombo, [this] { chooseVoiceFromCombo(); });
    m_router.bind(kChooseSpeaker, [this] { chooseSpeaker(); });
    m_router.bind(kSearchVoices, [this] { m_openBrowser(kVoicesPage); });
}

void SpeechController::start(ReadAloudMode mode)
{
    if (m_runner == nullptr) {
        showMessage(m_window, MessageKind::Warning, u"Veyla"_s,
                    messageFor(ErrorCode::EngineUnavailable, Operation::Other));
        return;
    }
    speech::ReadAloudStart start;
    start.mode = mode;
    start.chapter = m_view.speechSnapshot();
    start.paragraph = m_view.currentParagraph();
    if (mode == ReadAloudMode::FromPosition)
        start.offset = static_cast<TextPos>(m_view.caretLineOffset());
    m_stopPending = false;
    m_runShown = m_shownCount;
    // The earlier run ends first; its reports are queued ahead of the new run's.
    (void)m_runner->start(std::move(start));
}

void SpeechController::restartIfReading()
{
    if (isReading() && !m_stopPending)
        start(ReadAloudMode::FromPosition);
}

void SpeechController::changeRate(int rate)
{
    // A rate that is already set changes nothing, not even the run.
    if (m_engine == nullptr || !m_engine->setRate(rate))
        return;
    m_display.settings.rate = m_engine->rate();
    m_status.showMessage(u"语速：%1"_s.arg(m_display.settings.rate), 3000);
}

void SpeechController::chooseVoiceFromCombo()
{
    auto* combo = m_ribbon.control<QComboBox>(kSpeakerCombo);
    if (combo == nullptr || m_engine == nullptr || m_engine->voices().empty() || combo->currentIndex() < 0)
        return;
    const int index = combo->currentIndex();
    if (!m_engine->selectVoice(static_cast<std::size_t>(index)))
        return;
    rememberSelectedVoice();
    fillVoiceList();
    restartIfReading();
}

void SpeechController::chooseSpeaker()
{
    if (m_displayCommands.runPresetDialog())
        restartIfReading();
}

void SpeechController::applyStoredVoice()
{
    if (m_engine == nullptr)
        return;
    // The dialog chose a row of the voice list shown.
    const int stored = m_display.settings.voice;
    if (stored >= 0 && static_cast<std::size_t>(stored) < m_engine->voices().size() &&
        stored != m_engine->selectedVoice() && m_engine->selectVoice(static_cast<std::size_t>(stored)))
        rememberSelectedVoice();
    fillVoiceList();
}

void SpeechController::rememberSelectedVoice()
{
    const int selected = m_engine->selectedVoice();
    const auto& voices = m_engine->voices();
    if (selected < 0 || static_cast<std::size_t>(selected) >= voices.size())
        return;
    m_display.settings.voice = selected;
    m_display.settings.voiceName = utf16::fromUtf8(voices[static_cast<std::size_t>(selected)].identifier);
}

void SpeechController::fillVoiceList()
{
    QStringList names;
    if (m_engine != nullptr) {
        for (const auto& voice : m_engine->voices())
            names << QString::fromStdString(voice.displayName);
    }
    const int current = m_engine != nullptr && !names.isEmpty() ? m_engine->selectedVoice() : kNoVoiceShown;
    m_displayCommands.setVoiceList(names, current);
    auto* combo = m_ribbon.control<QComboBox>(kSpeakerCombo);
    if (combo == nullptr)
        return;
    const QSignalBlocker block(combo);
    combo->clear();
    if (names.isEmpty()) {
        combo->addItem(u"请先下载语音包"_s);
        return;
    }
    combo->addItems(names);
    combo->setCurrentIndex(current);
}

void SpeechController::paragraphStarted(std::size_t paragraph)
{
    if (!showsRunChapter())
        return;
    if (m_view.paragraphMode())
        m_view.showParagraph(paragraph);
    else
        m_view.keepParagraphInView(paragraph);
}

void SpeechController::pieceStarted(std::size_t paragraph, TextPos begin, TextPos end)
{
    if (!showsRunChapter())
        return;
    const auto first = static_cast<std::size_t>(begin);
    m_view.setSpoken(paragraph, first, static_cast<std::size_t>(end), true);
    m_view.followSpeech(paragraph, first);
    if (!m_view.paragraphMode())
        m_view.keepInView(paragraph, first);
}

void SpeechController::pieceFinished(std::size_t paragraph, TextPos begin, TextPos end)
{
    if (showsRunChapter())
        m_view.setSpoken(paragraph, static_cast<std::size_t>(begin), static_cast<std::size_t>(end), false);
}

speech::ChapterSnapshot SpeechController::nextChapter()
{
    if (!showsRunChapter() || !m_router.chapterOpen())
        return nullptr;
    m_turningPage = true;
    m_router.trigger(kNextPage);
    m_turningPage = false;
    m_runShown = m_shownCount;
    if (!m_router.chapterOpen())
        return nullptr;
    return m_view.speechSnapshot();
}

void SpeechController::ended(RunEnd end, const std::string& detail)
{
    m_view.clearSpoken();
    switch (end) {
    case RunEnd::Failed:
        m_status.showMessage(u"朗读已中断"_s);
        showMessage(m_window, MessageKind::Warning, u"Veyla"_s,
                    u"朗读已中断：声音设备或语音引擎出错。\n%1"_s.arg(QString::fromStdString(detail)));
        break;
    case RunEnd::NothingToRead:
        m_status.showMessage(u"没有可朗读的文字"_s, 5000);
        break;
    case RunEnd::Finished:
    case RunEnd::Stopped:
    case RunEnd::NoDocument:
        break;
    }
    emit runEnded(end);
}

void SpeechController::chapterShown()
{
    ++m_shownCount;
    // Reading goes on into the next chapter only when the run turned the
    // page itself; a chapter the user opens is not the one being read.
    if (!m_turningPage && isReading())
        stop();
}

}  // namespace veyla::gui
