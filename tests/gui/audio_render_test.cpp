// SPDX-License-Identifier: MIT
// "生成本书音频" from the library tree and its window "音频生成".
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <future>
#include <thread>

#include "core/speech/fake_speech_engine.h"
#include "core/speech/wav_file.h"
#include "gui/commands/command_router.h"
#include "core/platform/ini_file.h"
#include "gui/dialogs/make_audio_dialog.h"
#include "gui/dialogs/preset_dialog.h"
#include "gui/speech/audio_render_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"
#include "gui_fixture.h"

using namespace veyla;
using namespace veyla::gui;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;
using speech::FakeSpeechEngine;

namespace {

constexpr int kRenderWaitMs = 60000;

// Blocks the rendering engine in its first chapter until released.
struct Gate {
    std::promise<void> release;
    std::shared_future<void> released{release.get_future().share()};
    std::atomic<int> entered{0};

    void install(FakeSpeechEngine& engine)
    {
        engine.setSynthesisHook([this, released = released](std::u16string_view, std::size_t) {
            ++entered;
            released.wait();
        });
    }
};

// A book whose folder and second chapter have blanks in their names.
struct Book {
    GuiFixture fixture;
    std::unique_ptr<MainWindow> window;

    Book()
    {
        fixture.addChapter("小说/短 书/0001_第一章.xml", u"天地玄黄，宇宙洪荒。"_s);
        fixture.addChapter("小说/短 书/0002_第二　章.xml", u"日月盈昃，辰宿列张。"_s);
        window = fixture.startWindow();
    }
    ~Book()
    {
        if (window)
            window->close();
    }

    fs::path audioFolder() const { return fixture.folders().dataFolder / "音频/藏书库/小说/短书"; }
    fs::path firstWav() const { return audioFolder() / "0001_第一章.wav"; }
    fs::path secondWav() const { return audioFolder() / "0002_第二,章.wav"; }
    AudioRenderController& audio() const { return window->audio(); }

    bool renderBook() const
    {
        if (!window->library().selectPath(fixture.library() / "小说/短 书"))
            return false;
        return window->router().trigger(kRenderBookAudio) && audio().isBusy();
    }
    bool waitUntilDone() const
    {
        return QTest::qWaitFor([&] { return !audio().isBusy(); }, kRenderWaitMs);
    }
    // Starts rendering with a fake engine that gate holds in the first
    // chapter; the engine once the chapter is being rendered, else null.
    FakeSpeechEngine* renderHeldBy(Gate& gate) const
    {
        auto fake = std::make_unique<FakeSpeechEngine>();
        FakeSpeechEngine* engine = fake.get();
        gate.install(*fake);
        audio().setEngine(std::move(fake));
        if (!renderBook() || !QTest::qWaitFor([&] { return gate.entered.load() == 1; }, kRenderWaitMs))
            return nullptr;
        return engine;
    }
    QString dialogText() const { return audio().dialog()->findChild<QLabel*>(u"message"_s)->text(); }
    QPushButton* button(const QString& name) const { return audio().dialog()->findChild<QPushButton*>(name); }
};

// A WAV file that is whole: its header's sizes match the file and it holds sound.
bool isCompleteWav(const fs::path& path)
{
    const auto info = speech::readWavInfo(path);
    return info && info->formatTag == 1 && info->dataSize > 0 &&
           info->dataOffset + info->dataSize == info->fileSize && info->riffSize + 8 == info->fileSize;
}

}  // namespace

class AudioRenderTest : public QObject {
    Q_OBJECT
private slots:
    void bookIsRenderedToWavFilesBelowTheAudioFolder();
    void chapterItemRendersFromThatChapterOn();
    void stopDuringTheFirstChapterKeepsItWholeAndRendersNoMore();
    void secondStartWhileRenderingIsRefused();
    void closingTheWindowWhileRenderingLeavesOnlyWholeFiles();
    void closingTheWindowHidesItBeforeTheChapterIsDone();
    void summaryNamesWhatWasSkippedAndWhatFailed();
    void formatChosenBeforeTheFirstRenderingIsUsedAndRemembered();
};

void AudioRenderTest::bookIsRenderedToWavFilesBelowTheAudioFolder()
{
    Book book;
    QVERIFY(book.renderBook());
    auto* dialog = book.audio().dialog();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), u"音频生成"_s);
    QVERIFY(book.waitUntilDone());
    QVERIFY(book.dialogText().startsWith(u"已生成完毕"_s));
    QVERIFY(isCompleteWav(book.firstWav()));
    QVERIFY(isCompleteWav(book.secondWav()));
    const auto& first = book.audio().lastSummary();
    QCOMPARE(first.rendered, 2);
    QVERIFY(first.audioSeconds > 1.0);
    QVERIFY(!book.button(u"stop"_s)->isEnabled());
    // "打开音频路径" opens the folder of the last chapter's audio.
    fs::path opened;
    dialog->setFolderOpener([&](const fs::path& folder) { opened = folder; });
    book.button(u"openFolder"_s)->click();
    QCOMPARE(opened, book.audioFolder());
    // Closing the window only hides it.
    dialog->close();
    QCOMPARE(book.audio().dialog(), dialog);

    // A second run finds every file in place and writes none.
    const auto written = fs::last_write_time(book.firstWav());
    QVERIFY(book.renderBook());
    QVERIFY(dialog->isVisible());
    QVERIFY(book.waitUntilDone());
    QCOMPARE(book.audio().lastSummary().rendered, 0);
    QCOMPARE(book.audio().lastSummary().existing, 2);
    QCOMPARE(fs::last_write_time(book.firstWav()), written);
    QVERIFY(book.dialogText().startsWith(u"已生成完毕"_s));
}

void AudioRenderTest::chapterItemRendersFromThatChapterOn()
{
    Book book;
    auto fake = std::make_unique<FakeSpeechEngine>();
    FakeSpeechEngine* engine = fake.get();
    book.audio().setEngine(std::move(fake));
    QVERIFY(book.window->library().selectPath(book.fixture.library() / "小说/短 书/0002_第二　章.xml"));
    QVERIFY(book.window->router().trigger(kRenderBookAudio));
    QVERIFY(book.waitUntilDone());
    QCOMPARE(engine->synthesised(), std::vector<std::u16string>{u"日月盈昃，辰宿列张。"});
    QVERIFY(isCompleteWav(book.secondWav()));
    QVERIFY(!fs::exists(book.firstWav()));
}

void AudioRenderTest::stopDuringTheFirstChapterKeepsItWholeAndRendersNoMore()
{
    Book book;
    Gate gate;
    QVERIFY(book.renderHeldBy(gate) != nullptr);
    QTRY_COMPARE(book.dialogText(), u"第一章"_s);
    book.button(u"stop"_s)->click();
    QCOMPARE(book.dialogText(), u"正在停止生成..."_s);
    gate.release.set_value();
    QVERIFY(book.waitUntilDone());
    QCOMPARE(gate.entered.load(), 1);
    QVERIFY(isCompleteWav(book.firstWav()));
    QVERIFY(!fs::exists(book.secondWav()));
    QVERIFY(book.audio().lastSummary().stopped);
    QCOMPARE(book.audio().lastSummary().rendered, 1);
    QVERIFY(book.dialogText().startsWith(u"已停止生成"_s));
}

void AudioRenderTest::secondStartWhileRenderingIsRefused()
{
    Book book;
    Gate gate;
    FakeSpeechEngine* engine = book.renderHeldBy(gate);
    QVERIFY(engine != nullptr);
    QVERIFY(book.fixture.messages.isEmpty());
    QVERIFY(book.window->router().trigger(kRenderBookAudio));
    QCOMPARE(book.fixture.messages.size(), 1);
    QVERIFY(book.fixture.messages.front().contains(u"正在生成音频"_s));
    gate.release.set_value();
    QVERIFY(book.waitUntilDone());
    // The refused start rendered nothing twice.
    QCOMPARE(engine->synthesised().size(), std::size_t{2});
    QCOMPARE(book.audio().lastSummary().rendered, 2);
}

void AudioRenderTest::closingTheWindowWhileRenderingLeavesOnlyWholeFiles()
{
    Book book;
    QVERIFY(book.renderBook());
    QVERIFY(book.window->close());
    book.window.reset();
    for (const auto& wav : {book.firstWav(), book.secondWav()}) {
        if (fs::exists(wav))
            QVERIFY(isCompleteWav(wav));
    }
    // No temporary file is left behind.
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(book.fixture.folders().dataFolder / "音频", ec))
        QVERIFY2(entry.is_directory() || entry.path().extension() == ".wav" || entry.path().extension() == ".lrc",
                 entry.path().c_str());
}

void AudioRenderTest::closingTheWindowHidesItBeforeTheChapterIsDone()
{
    Book book;
    Gate gate;
    QVERIFY(book.renderHeldBy(gate) != nullptr);
    MakeAudioDialog* dialog = book.audio().dialog();
    QVERIFY(book.window->isVisible() && dialog->isVisible());
    // The chapter being rendered is held until both windows are gone from
    // the screen: closing must hide them first, then wait for the chapter.
    // (The flags are only read here while the GUI thread waits in close.)
    std::atomic<bool> hiddenWhileRendering{false};
    std::thread releaser([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRenderWaitMs);
        while (std::chrono::steady_clock::now() < giveUp) {
            if (!book.window->isVisible() && !dialog->isVisible()) {
                hiddenWhileRendering = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        gate.release.set_value();
    });
    QVERIFY(book.window->close());
    releaser.join();
    QVERIFY(hiddenWhileRendering);
    QCOMPARE(gate.entered.load(), 1);  // no chapter began after the close
    QVERIFY(isCompleteWav(book.firstWav()));
    QVERIFY(!fs::exists(book.secondWav()));
    book.window.reset();
}

void AudioRenderTest::summaryNamesWhatWasSkippedAndWhatFailed()
{
    speech::RenderSummary summary;
    summary.rendered = 3;
    summary.existing = 2;
    summary.outside = 1;
    summary.audioSeconds = 3725.4;
    summary.failures.emplace_back("/d/藏书库/书/0004_坏.xml", Error{ErrorCode::FileUnavailable, "gone"});
    const QString text = renderSummaryText(summary);
    QCOMPARE(text, u"已生成完毕\n新生成 3 章，已有音频 2 章\n不在数据目录中 1 章，未生成\n"
                   u"失败 1 章：0004_坏.xml（文件不存在或正在使用中）\n音频时长 1:02:05"_s);
    summary.stopped = true;
    summary.outside = 0;
    summary.failures.clear();
    QCOMPARE(renderSummaryText(summary), u"已停止生成\n新生成 3 章，已有音频 2 章\n音频时长 1:02:05"_s);
}

void AudioRenderTest::formatChosenBeforeTheFirstRenderingIsUsedAndRemembered()
{
    Book book;
    // 更多设置 offers the format before any rendering has run.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<PresetDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        auto* format = dialog->findChild<QComboBox*>(u"audioFormat"_s);
        QVERIFY(format != nullptr);
        QCOMPARE(format->currentIndex(), 0);
        format->setCurrentIndex(1);
        dialog->accept();
    });
    QVERIFY(book.window->router().trigger(kPresets));
    QCOMPARE(book.window->display().settings.audioFormat, u"opus");
    QCOMPARE(book.audio().format(), speech::AudioFormat::Opus);

    // Rendered in this process (a fake engine): Opus files with their lyrics, no WAV.
    book.audio().setEngine(std::make_unique<FakeSpeechEngine>());
    QVERIFY(book.renderBook());
    QVERIFY(book.waitUntilDone());
    QCOMPARE(book.audio().lastSummary().rendered, 2);
    QVERIFY(book.audio().lastSummary().failures.empty());
    const fs::path opus = fs::path(book.firstWav()).replace_extension(".opus");
    QVERIFY(fs::file_size(opus) > 0);
    QVERIFY(fs::exists(fs::path(book.firstWav()).replace_extension(".lrc")));
    QVERIFY(!fs::exists(book.firstWav()));
    auto* format = book.audio().dialog()->findChild<QComboBox*>(u"format"_s);
    QCOMPARE(format->currentIndex(), 1);

    // Choosing in 音频生成 changes the setting, which is written at exit.
    format->setCurrentIndex(2);
    emit format->activated(2);
    QCOMPARE(book.audio().format(), speech::AudioFormat::M4b);
    QVERIFY(book.window->close());
    book.window.reset();
    const auto ini = platform::IniFile::load(book.fixture.folders().dataControl("preSet.ini"));
    QCOMPARE(ini.value(u"Voice", u"AudioFormat"), u"m4b");
}

QTEST_MAIN(AudioRenderTest)
#include "audio_render_test.moc"
