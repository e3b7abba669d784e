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

class QModelIndex;
class QWidget;

namespace veyla::gui {

class CommandRouter;
class DisplayState;
class LibraryTreeModel;
class LibraryTreePane;
class MakeAudioDialog;

// "生成本书音频": renders the chapters of the selected tree item (a book, a
// category or one chapter) to WAV files below the data folder's 音频/, on a
// worker thread with a speech engine of its own (the read-aloud voice and
// rate, taken when the rendering starts). The worker gets the chapter list,
// never the tree; its progress reaches the dialog "音频生成" as queued calls.
// One rendering runs at a time; a second start is refused while it runs.
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

signals:
    void finished();

private:
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
