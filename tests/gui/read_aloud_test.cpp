// SPDX-License-Identifier: MIT
// Read-aloud in the desktop app, driven by command ids with a fake engine
// whose every piece lasts until the test ends it.
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "core/platform/ini_file.h"
#include "core/speech/audio_output.h"
#include "core/speech/fake_speech_engine.h"
#include "core/speech/speech_piece.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/preset_dialog.h"
#include "gui/speech/speech_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"
#include "gui/window/ribbon_bar.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
using speech::FakeSpeechEngine;

namespace {

constexpr int kWaitMs = 5000;

// A book of two chapters; every paragraph is short enough to be one piece.
const QString kFirstChapter = u"天地玄黄，宇宙洪荒。\n日月盈昃，辰宿列张。"_s;
const QString kSecondChapter = u"寒来暑往，秋收冬藏。"_s;

struct Reading {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;
    FakeSpeechEngine* engine = nullptr;

    explicit Reading(const QString& first = kFirstChapter, std::vector<speech::Voice> voices =
                                                               FakeSpeechEngine::defaultVoices())
    {
        fixture.addChapter("小说/书/0001_第一章.xml", first);
        fixture.addChapter("小说/书/0002_第二章.xml", kSecondChapter);
        window = fixture.startWindow();
        auto fake = std::make_unique<FakeSpeechEngine>(std::move(voices));
        fake->setDuration(FakeSpeechEngine::Duration::UntilStopped);
        engine = fake.get();
        window->speech().setEngine(std::move(fake));
        window->library().selectPath(chapter(1));
    }
    ~Reading()
    {
        if (window)
            window->close();
    }

    std::filesystem::path chapter(int number) const
    {
        return fixture.library() / (number == 1 ? "小说/书/0001_第一章.xml" : "小说/书/0002_第二章.xml");
    }
    ReadingView& view() const { return window->readingView(); }
    SpeechController& speech() const { return window->speech(); }

    // Waits until count pieces have begun, letting the GUI thread run meanwhile.
    bool waitForPieces(std::size_t count) const
    {
        return QTest::qWaitFor([&] { return engine->spoken().size() >= count; }, kWaitMs);
    }
    // Ends the piece being spoken as if it had been played to its end.
    void finishPiece() const { engine->stop(); }
    // Whether the glyph at offset of paragraph is drawn as being spoken.
    bool spoken(std::size_t paragraph, std::size_t glyph = 0) const
    {
        const auto& lines = view().model().document().paragraphs.at(paragraph).lines;
        return lines.at(0).glyphs.at(glyph).spoken;
    }
    bool anySpoken() const
    {
        for (const auto& paragraph : view().model().document().paragraphs)
            for (const auto& line : paragraph.lines)
                for (const auto& glyph : line.glyphs)
                    if (glyph.spoken)
                        return true;
        return false;
    }
    bool stopAndWait() const
    {
        window->router().trigger(kStopSpeaking);
        return QTest::qWaitFor([&] { return !speech().isReading(); }, kWaitMs);
    }
};

std::u16string text(const QString& s)
{
    return s.toStdU16String();
}

}  // namespace

class ReadAloudTest : public QObject {
    Q_OBJECT
private slots:
    void wholeChapterSpeaksEveryPieceInOrderWithItsHighlight();
    void readingRunsOnIntoTheNextChapter();
    void stopTakesEffectAfterTheCurrentPiece();
    void wholeChapterAgainRestartsAtTheFirstParagraph();
    void paragraphModeReadsOneParagraphOnly();
    void fromPositionStartsAtTheCaretLine();
    void openingAnotherChapterStopsReading();
    void paragraphDisplayMovesTheShownParagraphAlong();
    void spokenParagraphIsScrolledIntoView();
    void engineFailureIsReported();
    void rateCommandsChangeTheRateOnce();
    void voiceComboListsTheEngineVoices();
    void voiceComboWithoutVoicesAsksForVoicePacks();
    void theVoiceIsChosenByItsNameNotByItsIndex();
    void choosingAVoiceWhileReadingRestartsAtTheCurrentLine();
    void speakerDialogChoosesTheVoice();
    void voicesPageOpensInTheBrowser();
    void closingTheWindowWhileReadingEndsCleanly();
    void realEngineReadsOnTheDefaultOutput();
};

void ReadAloudTest::wholeChapterSpeaksEveryPieceInOrderWithItsHighlight()
{
    Reading r;
    QCOMPARE(r.window->reading().chapterPath(), r.chapter(1));
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    QCOMPARE(r.engine->spoken().front(), text(u"天地玄黄，宇宙洪荒。"_s));
    // The piece being spoken is highlighted, the rest is not.
    QTRY_VERIFY(r.spoken(0, 0));
    QVERIFY(r.spoken(0, 9));
    QVERIFY(!r.spoken(1, 0));
    r.finishPiece();
    QVERIFY(r.waitForPieces(2));
    QCOMPARE(r.engine->spoken()[1], text(u"日月盈昃，辰宿列张。"_s));
    QTRY_VERIFY(r.spoken(1, 0));
    QVERIFY(!r.spoken(0, 0));
    QVERIFY(r.stopAndWait());
    QTRY_VERIFY(!r.anySpoken());
}

void ReadAloudTest::readingRunsOnIntoTheNextChapter()
{
    Reading r;
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    r.finishPiece();
    QVERIFY(r.waitForPieces(2));
    r.finishPiece();
    QVERIFY(r.waitForPieces(3));
    QCOMPARE(r.engine->spoken()[2], text(kSecondChapter));
    QCOMPARE(r.window->reading().chapterPath(), r.chapter(2));
    QTRY_VERIFY(r.spoken(0, 0));
    // The last chapter has no next one: reading starts over at its first paragraph.
    r.finishPiece();
    QVERIFY(r.waitForPieces(4));
    QCOMPARE(r.engine->spoken()[3], text(kSecondChapter));
    QCOMPARE(r.window->reading().chapterPath(), r.chapter(2));
    QVERIFY(r.stopAndWait());
}

void ReadAloudTest::stopTakesEffectAfterTheCurrentPiece()
{
    // One paragraph of two pieces: the comma after 12 characters ends the first.
    Reading r(u"天地玄黄宇宙洪荒日月盈昃辰宿，列张寒来暑往秋收冬藏。"_s);
    QSignalSpy ended(&r.speech(), &SpeechController::runEnded);
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    QCOMPARE(r.engine->spoken().front(), text(u"天地玄黄宇宙洪荒日月盈昃辰宿"_s));
    QVERIFY(r.window->router().trigger(kStopSpeaking));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.front().front().value<speech::RunEnd>(), speech::RunEnd::Stopped);
    QCOMPARE(r.engine->spoken().size(), std::size_t{1});
    QVERIFY(!r.anySpoken());
}

void ReadAloudTest::wholeChapterAgainRestartsAtTheFirstParagraph()
{
    Reading r;
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    r.finishPiece();
    QVERIFY(r.waitForPieces(2));
    QTRY_VERIFY(r.spoken(1, 0));
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(3));
    QCOMPARE(r.engine->spoken()[2], text(u"天地玄黄，宇宙洪荒。"_s));
    QTRY_VERIFY(r.spoken(0, 0) && !r.spoken(1, 0));
    QVERIFY(r.stopAndWait());
}

void ReadAloudTest::paragraphModeReadsOneParagraphOnly()
{
    Reading r;
    QSignalSpy ended(&r.speech(), &SpeechController::runEnded);
    r.view().model().editor().setCaret({1, 0, 2});
    QVERIFY(r.window->router().trigger(kSpeakParagraph));
    QVERIFY(r.waitForPieces(1));
    r.finishPiece();
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.front().front().value<speech::RunEnd>(), speech::RunEnd::Finished);
    QCOMPARE(r.engine->spoken(), std::vector<std::u16string>{text(u"日月盈昃，辰宿列张。"_s)});
    QCOMPARE(r.window->reading().chapterPath(), r.chapter(1));
}

void ReadAloudTest::fromPositionStartsAtTheCaretLine()
{
    QString longParagraph;
    for (int i = 0; i < 30; ++i)
        longParagraph += u"天地玄黄宇宙洪荒，"_s;
    Reading r(u"第一段。\n"_s + longParagraph);
    const auto& lines = r.view().model().document().paragraphs.at(1).lines;
    QVERIFY(lines.size() >= 3);
    r.view().model().editor().setCaret({1, 2, 4});
    const std::u16string paragraph = r.view().paragraphTexts()[1];
    const std::size_t lineStart = r.view().caretLineOffset();
    QVERIFY(lineStart > 0);
    QVERIFY(r.window->router().trigger(kSpeakContinue));
    QVERIFY(r.waitForPieces(1));
    // The first piece begins with the caret line's first glyph.
    const std::u16string first = r.engine->spoken().front();
    QCOMPARE(first, speech::cutSpeechPiece(paragraph, static_cast<TextPos>(lineStart)).text);
    QCOMPARE(first.front(), lines[2].glyphs[0].ch);
    QTRY_VERIFY(lines[2].glyphs[0].spoken);
    QVERIFY(!lines[0].glyphs[0].spoken);
    QVERIFY(r.stopAndWait());
}

void ReadAloudTest::openingAnotherChapterStopsReading()
{
    Reading r;
    QSignalSpy ended(&r.speech(), &SpeechController::runEnded);
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    QVERIFY(r.window->library().selectPath(r.chapter(2)));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(r.engine->spoken().size(), std::size_t{1});
    // The highlight of the first chapter never lands on the second.
    QVERIFY(!r.anySpoken());
}

void ReadAloudTest::paragraphDisplayMovesTheShownParagraphAlong()
{
    Reading r;
    QVERIFY(r.window->router().trigger(kParagraphMode));
    QVERIFY(r.view().paragraphMode());
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    QTRY_VERIFY(r.spoken(0, 0));
    QCOMPARE(r.view().model().shownParagraph(), std::size_t{0});
    r.finishPiece();
    QVERIFY(r.waitForPieces(2));
    QTRY_COMPARE(r.view().model().shownParagraph(), std::size_t{1});
    QVERIFY(r.stopAndWait());
}

void ReadAloudTest::spokenParagraphIsScrolledIntoView()
{
    QStringList paragraphs;
    for (int i = 0; i < 150; ++i)
        paragraphs << u"第%1段　天下大势，分久必合，合久必分。"_s.arg(i);
    Reading r(paragraphs.join(u'\n'));
    const auto& scroll = r.view().model().scroll();
    QCOMPARE(scroll.position(), 0);
    r.view().model().editor().setCaret({120, 0, 0});
    QVERIFY(r.window->router().trigger(kSpeakParagraph));
    QVERIFY(r.waitForPieces(1));
    const int top = r.view().model().document().paragraphs[120].top;
    QTRY_COMPARE(scroll.position(), std::min(top, scroll.maximum()));
    QVERIFY(scroll.position() > 0);
    QVERIFY(r.stopAndWait());
}

void ReadAloudTest::engineFailureIsReported()
{
    Reading r;
    QSignalSpy ended(&r.speech(), &SpeechController::runEnded);
    r.engine->setFailure(Error{ErrorCode::DeviceUnavailable, "the sound device went away"});
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.front().front().value<speech::RunEnd>(), speech::RunEnd::Failed);
    QCOMPARE(r.fixture.messages.size(), 1);
    QVERIFY(r.fixture.messages.front().startsWith(u"朗读已中断"_s));
    QVERIFY(r.fixture.messages.front().contains(u"the sound device went away"_s));
    QVERIFY(!r.anySpoken());
}

void ReadAloudTest::rateCommandsChangeTheRateOnce()
{
    Reading r;
    QCOMPARE(r.engine->rate(), 0);
    QVERIFY(r.window->router().trigger(kSpeakRateFaster1));
    QCOMPARE(r.engine->rate(), 3);
    QCOMPARE(r.window->display().settings.rate, 3);
    r.window->statusBar()->clearMessage();
    QVERIFY(r.window->router().trigger(kSpeakRateFaster1));
    QCOMPARE(r.engine->rate(), 3);
    QVERIFY(r.window->statusBar()->currentMessage().isEmpty());
    const std::vector<std::pair<int, int>> commands = {
        {kSpeakRateFaster2, 7}, {kSpeakRateFast3, 10}, {kSpeakRateNormal, 0}, {kSpeakRateFaster2, 7}};
    for (const auto& [id, rate] : commands) {
        QVERIFY(r.window->router().trigger(id));
        QCOMPARE(r.engine->rate(), rate);
        QCOMPARE(r.window->display().settings.rate, rate);
    }
    // The rate is written at exit and given to the engine at the next start.
    r.window->close();
    r.window.reset();
    const auto preset = r.fixture.folders().dataControl("preSet.ini");
    QCOMPARE(platform::readProfileInteger(preset, u"Voice", u"nRate", -99), 7LL);
    auto again = r.fixture.startWindow();
    auto fake = std::make_unique<FakeSpeechEngine>();
    FakeSpeechEngine* engine = fake.get();
    again->speech().setEngine(std::move(fake));
    QCOMPARE(engine->rate(), 7);
}

void ReadAloudTest::voiceComboListsTheEngineVoices()
{
    Reading r;
    auto* combo = r.window->ribbon().control<QComboBox>(kSpeakerCombo);
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), u"fake-zh"_s);
    QCOMPARE(combo->itemText(1), u"fake-en"_s);
    QCOMPARE(combo->currentIndex(), 0);
    combo->setCurrentIndex(1);
    QVERIFY(r.window->router().trigger(kSpeakerCombo));
    QCOMPARE(r.engine->selectedVoice(), 1);
    QCOMPARE(r.window->display().settings.voice, 1);
    // Not reading: choosing a voice starts nothing.
    QTest::qWait(20);
    QVERIFY(r.engine->spoken().empty());
    // The stored voice is selected when an engine starts.
    auto other = std::make_unique<FakeSpeechEngine>();
    FakeSpeechEngine* engine = other.get();
    r.speech().setEngine(std::move(other));
    QCOMPARE(engine->selectedVoice(), 1);
    QCOMPARE(combo->currentIndex(), 1);
}

void ReadAloudTest::voiceComboWithoutVoicesAsksForVoicePacks()
{
    Reading r(kFirstChapter, {});
    auto* combo = r.window->ribbon().control<QComboBox>(kSpeakerCombo);
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->itemText(0), u"请先下载语音包"_s);
    const int stored = r.window->display().settings.voice;
    QVERIFY(r.window->router().trigger(kSpeakerCombo));
    QCOMPARE(r.window->display().settings.voice, stored);
    QCOMPARE(r.engine->selectedVoice(), -1);
}

void ReadAloudTest::theVoiceIsChosenByItsNameNotByItsIndex()
{
    Reading r;
    auto* combo = r.window->ribbon().control<QComboBox>(kSpeakerCombo);
    combo->setCurrentIndex(1);
    QVERIFY(r.window->router().trigger(kSpeakerCombo));
    QCOMPARE(r.window->display().settings.voiceName, std::u16string(u"test/fake-en"));
    // An engine that lists its voices in another order still speaks with fake-en.
    const auto voices = FakeSpeechEngine::defaultVoices();
    auto reordered = std::make_unique<FakeSpeechEngine>(std::vector<speech::Voice>{voices[1], voices[0]});
    FakeSpeechEngine* engine = reordered.get();
    r.speech().setEngine(std::move(reordered));
    QCOMPARE(engine->selectedVoice(), 0);
    QCOMPARE(r.window->display().settings.voice, 0);
    // The name and the index are written at exit.
    r.window->close();
    r.window.reset();
    const auto preset = platform::IniFile::load(r.fixture.folders().dataControl("preSet.ini"));
    QCOMPARE(preset.value(u"Voice", u"VoiceName"), std::u16string(u"test/fake-en"));
    QCOMPARE(preset.value(u"Voice", u"nVoice"), std::u16string(u"0"));
    // A bare index, as an older program wrote it, does not choose: the Chinese voice does.
    auto again = r.fixture.startWindow();
    again->display().settings.voiceName.clear();
    again->display().settings.voice = 1;
    auto fresh = std::make_unique<FakeSpeechEngine>();
    FakeSpeechEngine* freshEngine = fresh.get();
    again->speech().setEngine(std::move(fresh));
    QCOMPARE(freshEngine->selectedVoice(), 0);
    again->close();
}

void ReadAloudTest::choosingAVoiceWhileReadingRestartsAtTheCurrentLine()
{
    Reading r;
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    r.finishPiece();
    QVERIFY(r.waitForPieces(2));
    QTRY_VERIFY(r.spoken(1, 0));
    auto* combo = r.window->ribbon().control<QComboBox>(kSpeakerCombo);
    combo->setCurrentIndex(1);
    QVERIFY(r.window->router().trigger(kSpeakerCombo));
    // The piece being read is read again, in the new voice.
    QVERIFY(r.waitForPieces(3));
    QCOMPARE(r.engine->spoken()[2], text(u"日月盈昃，辰宿列张。"_s));
    QCOMPARE(r.engine->selectedVoice(), 1);
    QVERIFY(r.speech().isReading());
    QVERIFY(r.stopAndWait());
}

void ReadAloudTest::speakerDialogChoosesTheVoice()
{
    Reading r;
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<PresetDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        auto* voices = dialog->findChild<QListWidget*>(u"voices"_s);
        QCOMPARE(voices->count(), 2);
        QCOMPARE(voices->currentRow(), 0);
        voices->setCurrentRow(1);
        dialog->accept();
    });
    QVERIFY(r.window->router().trigger(kChooseSpeaker));
    QCOMPARE(r.engine->selectedVoice(), 1);
    QCOMPARE(r.window->display().settings.voice, 1);
    QCOMPARE(r.window->ribbon().control<QComboBox>(kSpeakerCombo)->currentIndex(), 1);
    // On OK while reading, reading starts again at the current line.
    QVERIFY(r.waitForPieces(2));
    QCOMPARE(r.engine->spoken()[1], text(u"天地玄黄，宇宙洪荒。"_s));
    QVERIFY(r.stopAndWait());
}

void ReadAloudTest::voicesPageOpensInTheBrowser()
{
    Reading r;
    std::string opened;
    r.speech().setBrowserOpener([&](const std::string& url) { opened = url; });
    QVERIFY(r.window->router().trigger(kSearchVoices));
    QCOMPARE(opened, std::string(SpeechController::kVoicesPage));
}

void ReadAloudTest::closingTheWindowWhileReadingEndsCleanly()
{
    Reading r;
    QVERIFY(r.window->router().trigger(kSpeakRateFaster1));
    QVERIFY(r.window->router().trigger(kSpeakAll));
    QVERIFY(r.waitForPieces(1));
    // The fake's piece lasts until stopped: closing must stop it, not wait for it.
    QVERIFY(r.window->close());
    QVERIFY(!r.speech().isReading());
    r.window.reset();
    const auto preset = r.fixture.folders().dataControl("preSet.ini");
    QCOMPARE(platform::readProfileInteger(preset, u"Voice", u"nRate", -99), 3LL);
}

void ReadAloudTest::realEngineReadsOnTheDefaultOutput()
{
    GuiFixture fixture;
    fixture.addChapter("小说/书/0001_第一章.xml", kFirstChapter);
    auto window = fixture.startWindow();
    if (window->speech().engine() == nullptr)
        QSKIP("espeak-ng is not available");
    const auto output = speech::openDefaultOutput(speech::NullPace::Instant);
    if (output.kind == speech::OutputKind::Null)
        QVERIFY(window->statusBar()->currentMessage().startsWith(u"没有可用的声音设备，朗读将静音进行"_s));
    QVERIFY(window->library().selectPath(fixture.library() / "小说/书/0001_第一章.xml"));
    QVERIFY(window->router().trigger(kSpeakAll));
    const auto& glyphs = window->readingView().model().document().paragraphs.at(0).lines.at(0).glyphs;
    QTRY_VERIFY_WITH_TIMEOUT(glyphs.at(0).spoken, kWaitMs);
    QVERIFY(window->router().trigger(kStopSpeaking));
    QTRY_VERIFY_WITH_TIMEOUT(!window->speech().isReading(), kWaitMs);
    QTRY_VERIFY(!glyphs.at(0).spoken);
}

QTEST_MAIN(ReadAloudTest)
#include "read_aloud_test.moc"
