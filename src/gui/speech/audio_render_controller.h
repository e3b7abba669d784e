// SPDX-License-Identifier: MIT
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <stop_token>

#include "core/platform/app_folders.h"
#include "core/speech/audio_renderer.h"
#include "core/speech/render_workers.h"

class QModelIndex;
class QWidget;

namespace veyla::gui {

class CommandRouter;
class DisplayState;
class LibraryTreeModel;
class LibraryTreePane;
class MakeAudioDialog;

// "生成本书音频": renders the chapters of the selected tree item (a book, a
// category or one chapter) to audio files (WAV, Ogg Opus, or WAV files and
// an M4B book, as chosen) below the data folder's 音频/ with
// the read-aloud voice and rate, taken when the rendering starts. The
// chapters go to worker processes (veyla-cli beside the program, one per
// core), so that reading aloud in this process never waits for a chapter;
// without veyla-cli, or with an engine given by a test, they are rendered
// on a thread of this process instead, into the same files. The rendering gets the chapter
// list, never the tree; its progress reaches the dialog "音频生成" as queued
// calls. One rendering runs at a time; a second start is refused meanwhile.
class AudioRenderController : public QObject {
    Q_OBJECT
public:
    AudioRenderController(platform::AppFolders folders, DisplayState& display, LibraryTreeModel& model,
                          LibraryTreePane& pane, CommandRouter& router, QWidget* window);
    ~AudioRenderController() override;

    // Renders the chapters item covers; false when refused or there is nothing to render.
    bool renderItem(const QModelIndex& item);
    bool isBusy() const { return m_busy; }
    // Stops after the chapter being rendered (which is written whole).
    void requestStop();
    void waitForFinished();

    // The progress window, made by the first rendering.
    MakeAudioDialog* dialog() const;
    // The outcome of the last rendering that ended.
    const speech::RenderSummary& lastSummary() const { return m_summary; }
    // Replaces the rendering engine (tests give a fake one); only while idle.
    void setEngine(std::unique_ptr<speech::SpeechEngine> engine);
    // The worker program (default: veyla-cli beside this program); an
    // empty path renders in this process.
    void setWorkerProgram(std::filesystem::path program) { m_workerProgram = std::move(program); }
    // Hides the progress window (the main window is closing).
    void hideDialog();
    // The format of the next rendering: the one last chosen, in "音频生成"
    // or in 更多设置, kept in the settings.
    speech::AudioFormat format() const;

signals:
    void finished();

private:
    // Starts rendering items in the format chosen.
    bool startRendering(std::vector<speech::AudioJobItem> items);
    void renderAgain();
    // Makes the engine on first use and gives it the read-aloud voice and rate.
    bool prepareEngine();
    void showDialog();
    void done();

    platform::AppFolders m_folders;
    DisplayState& m_display;
    LibraryTreeModel& m_model;
    LibraryTreePane& m_pane;
    QWidget* m_window;
    QPointer<MakeAudioDialog> m_dialog;
    std::unique_ptr<speech::SpeechEngine> m_engine;
    std::filesystem::path m_workerProgram;
    std::vector<speech::AudioJobItem> m_lastItems;
    std::stop_source m_stop;
    QFutureWatcher<speech::RenderSummary> m_watcher;
    speech::RenderSummary m_summary;
    bool m_busy = false;
};

// The outcome of a rendering as the dialog shows it: "已生成完毕" (or that
// it was stopped), then the chapters rendered, skipped and failed and the
// length of the audio written.
QString renderSummaryText(const speech::RenderSummary& summary);

}  // namespace veyla::gui
