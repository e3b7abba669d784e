// SPDX-License-Identifier: MIT
#include "gui/speech/audio_render_controller.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

#include <unistd.h>

#include <cmath>

#include "core/library/library_folder.h"
#include "core/speech/audio_path.h"
#include "core/speech/book_file.h"
#include "core/speech/espeak_engine.h"
#include "core/speech/null_output.h"
#include "core/speech/render_workers.h"
#include "core/util/utf16.h"
#include "gui/app/message_box.h"
#include "gui/app/messages.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/make_audio_dialog.h"
#include "gui/tree/library_tree_model.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

namespace {

// Seconds as h:mm:ss.
QString clockText(double seconds)
{
    const auto total = static_cast<long long>(std::llround(seconds));
    return u"%1:%2:%3"_s.arg(total / 3600)
        .arg(total / 60 % 60, 2, 10, QChar(u'0'))
        .arg(total % 60, 2, 10, QChar(u'0'));
}

// After the chapters of an M4B rendering, the whole-book files.
void addBookFiles(speech::RenderSummary& summary, const fs::path& dataFolder,
                  const std::vector<speech::AudioJobItem>& items, speech::AudioFormat format)
{
    if (format != speech::AudioFormat::M4b || summary.stopped)
        return;
    auto books = speech::makeBookFiles(dataFolder, items);
    summary.bookFiles = std::move(books.made);
    summary.bookFiles.insert(summary.bookFiles.end(), books.kept.begin(), books.kept.end());
    summary.failures.insert(summary.failures.end(), books.failures.begin(), books.failures.end());
}

QString failureText(const std::pair<fs::path, Error>& failure)
{
    const QString message = messageFor(failure.second.code, Operation::Other);
    return QString::fromStdU16String(library::pathText(failure.first.filename())) + u"（"_s +
           (message.isEmpty() ? QString::fromStdString(failure.second.detail) : message) + u"）"_s;
}

}  // namespace

QString renderSummaryText(const speech::RenderSummary& summary)
{
    QStringList lines;
    lines << (summary.stopped ? u"已停止生成"_s : QString::fromStdU16String(std::u16string(speech::kRenderDoneText)));
    lines << u"新生成 %1 章，已有音频 %2 章"_s.arg(summary.rendered).arg(summary.existing);
    if (summary.outside > 0)
        lines << u"不在数据目录中 %1 章，未生成"_s.arg(summary.outside);
    if (!summary.failures.empty())
        lines << u"失败 %1 章：%2"_s.arg(summary.failures.size()).arg(failureText(summary.failures.front()));
    if (!summary.bookFiles.empty())
        lines << u"整书音频（含章节）：%1"_s.arg(
                     QString::fromStdU16String(library::pathText(summary.bookFiles.front().filename())));
    lines << u"音频时长 %1"_s.arg(clockText(summary.audioSeconds));
    return lines.join(u'\n');
}

AudioRenderController::AudioRenderController(platform::AppFolders folders, DisplayState& display,
                                             LibraryTreeModel& model, LibraryTreePane& pane, CommandRouter& router,
                                             QWidget* window)
    : QObject(window), m_folders(std::move(folders)), m_display(display), m_model(model), m_pane(pane),
      m_window(window)
{
    connect(&m_watcher, &QFutureWatcher<speech::RenderSummary>::finished, this, &AudioRenderController::done);
    const fs::path beside = fs::path(QCoreApplication::applicationDirPath().toStdString()) / "veyla-cli";
    if (::access(beside.c_str(), X_OK) == 0)
        m_workerProgram = beside;
    router.bind(kRenderBookAudio, [this] { renderItem(m_pane.selectedIndex()); });
}

AudioRenderController::~AudioRenderController()
{
    requestStop();
    waitForFinished();
}

void AudioRenderController::setEngine(std::unique_ptr<speech::SpeechEngine> engine)
{
    if (!m_busy)
        m_engine = std::move(engine);
}

bool AudioRenderController::renderItem(const QModelIndex& item)
{
    if (m_busy) {
        showDialog();
        showMessage(m_window, MessageKind::Information, u"Veyla"_s, u"正在生成音频，请等它完成或先停止生成"_s);
        return false;
    }
    library::LibraryTree* tree = m_model.tree();
    auto items = tree != nullptr ? speech::chaptersToRender(*tree, m_model.node(item))
                                 : std::vector<speech::AudioJobItem>();
    if (items.empty()) {
        showMessage(m_window, MessageKind::Information, u"Veyla"_s, u"没有可以生成音频的文章"_s);
        return false;
    }
    return startRendering(std::move(items));
}

speech::AudioFormat AudioRenderController::format() const
{
    return speech::audioFormatNamed(utf16::toUtf8(m_display.settings.audioFormat)).value_or(speech::AudioFormat::Wav);
}

bool AudioRenderController::startRendering(std::vector<speech::AudioJobItem> items)
{
    if (m_busy || items.empty())
        return false;
    m_lastItems = items;
    const speech::AudioFormat chosen = format();
    const bool inWorkers = m_engine == nullptr && !m_workerProgram.empty();
    if (!inWorkers && !prepareEngine())
        return false;
    m_busy = true;
    showDialog();
    m_dialog->begin();
    m_stop = std::stop_source();
    const auto relay = [this](const speech::RenderStep& step) {
        QMetaObject::invokeMethod(
            this,
            [this, text = QString::fromStdU16String(step.text), folder = step.audioFolder, index = step.index,
             total = step.total] {
                if (m_dialog != nullptr)
                    m_dialog->showProgress(text, folder, index, total);
            },
            Qt::QueuedConnection);
    };
    if (inWorkers) {
        speech::WorkerCommand command{m_workerProgram, {"--rate", std::to_string(m_display.settings.rate)}};
        if (m_display.settings.voice >= 0)
            command.arguments.insert(command.arguments.end(), {"--voice", std::to_string(m_display.settings.voice)});
        m_watcher.setFuture(QtConcurrent::run([command = std::move(command), dataFolder = m_folders.dataFolder,
                                               items = std::move(items), stop = m_stop.get_token(), relay, chosen] {
            auto summary =
                speech::renderInWorkers(command, dataFolder, items, speech::defaultRenderJobs(), chosen, stop, relay);
            addBookFiles(summary, dataFolder, items, chosen);
            return summary;
        }));
        return true;
    }
    m_watcher.setFuture(QtConcurrent::run([engine = m_engine.get(), dataFolder = m_folders.dataFolder,
                                           items = std::move(items), stop = m_stop.get_token(), relay, chosen] {
        auto summary = speech::renderInThisProcess(*engine, dataFolder, items, chosen, stop, relay);
        addBookFiles(summary, dataFolder, items, chosen);
        return summary;
    }));
    return true;
}

bool AudioRenderController::prepareEngine()
{
    if (m_engine == nullptr) {
        auto engine = speech::EspeakEngine::create(std::make_unique<speech::NullOutput>(speech::NullPace::Instant));
        if (!engine) {
            showMessage(m_window, MessageKind::Warning, u"Veyla"_s, messageFor(engine.code(), Operation::Other));
            return false;
        }
        m_engine = std::move(*engine);
    }
    const int voice = m_display.settings.voice;
    if (voice >= 0 && static_cast<std::size_t>(voice) < m_engine->voices().size())
        (void)m_engine->selectVoice(static_cast<std::size_t>(voice));
    m_engine->setRate(m_display.settings.rate);
    return true;
}

MakeAudioDialog* AudioRenderController::dialog() const
{
    return m_dialog.data();
}

void AudioRenderController::showDialog()
{
    if (m_dialog == nullptr) {
        m_dialog = new MakeAudioDialog(speech::audioFolderOf(m_folders.dataFolder), m_window);
        connect(m_dialog, &MakeAudioDialog::formatChosen, this,
                [this](int index) { m_display.settings.audioFormat = audioFormatNameAt(index); });
    }
    m_dialog->setFormatIndex(audioFormatIndexOf(m_display.settings.audioFormat));
    connect(m_dialog, &MakeAudioDialog::stopRequested, this, &AudioRenderController::requestStop,
            Qt::UniqueConnection);
    connect(m_dialog, &MakeAudioDialog::renderAgainRequested, this, &AudioRenderController::renderAgain,
            Qt::UniqueConnection);
    m_dialog->show();
    m_dialog->raise();
}

void AudioRenderController::renderAgain()
{
    startRendering(m_lastItems);
}

void AudioRenderController::hideDialog()
{
    if (m_dialog != nullptr)
        m_dialog->hide();
}

void AudioRenderController::requestStop()
{
    m_stop.request_stop();
}

void AudioRenderController::waitForFinished()
{
    m_watcher.waitForFinished();
}

void AudioRenderController::done()
{
    m_summary = m_watcher.result();
    m_busy = false;
    if (m_dialog != nullptr)
        m_dialog->finish(renderSummaryText(m_summary));
    emit finished();
}

}  // namespace veyla::gui
