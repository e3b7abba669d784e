// SPDX-License-Identifier: MIT
#include "gui/speech/media_controls.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QWidget>

#include "core/library/library_folder.h"
#include "gui/commands/command_router.h"
#include "gui/speech/speech_controller.h"
#include "gui/view/reading_controller.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

QString shownName(const std::filesystem::path& path, library::ItemKind kind)
{
    return QString::fromStdU16String(library::itemText(library::pathText(path.filename()), kind));
}

}  // namespace

MediaControls::MediaControls(SpeechController& speech, ReadingController& reading, CommandRouter& router,
                             QWidget* window)
    : QObject(window), m_speech(speech), m_reading(reading), m_router(router), m_window(window)
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    publish();
    for (auto changed : {&MediaControls::trackPosition, &MediaControls::announce}) {
        connect(&m_speech, &SpeechController::playbackChanged, this, changed);
        connect(&m_reading, &ReadingController::chapterOpened, this, changed);
    }
    m_positionChapter = m_reading.chapterPath();
}

MediaControls::~MediaControls()
{
    if (!m_published)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
    bus.unregisterService(m_service);
}

void MediaControls::publish()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_service = QString::fromLatin1(kServiceName);
    if (bus.interface() != nullptr && bus.interface()->isServiceRegistered(m_service))
        m_service += u".instance%1"_s.arg(QCoreApplication::applicationPid());
    if (!bus.registerObject(QString::fromLatin1(kObjectPath), this))
        return;
    if (!bus.registerService(m_service)) {
        bus.unregisterObject(QString::fromLatin1(kObjectPath));
        return;
    }
    m_published = true;
}

QString MediaControls::playbackStatus() const
{
    switch (m_speech.playback()) {
    case SpeechController::Playback::Playing: return u"Playing"_s;
    case SpeechController::Playback::Paused: return u"Paused"_s;
    case SpeechController::Playback::Stopped: break;
    }
    return u"Stopped"_s;
}

QVariantMap MediaControls::metadata() const
{
    QVariantMap data;
    const std::filesystem::path& chapter = m_reading.chapterPath();
    data[u"mpris:trackid"_s] = QVariant::fromValue(QDBusObjectPath(u"/org/veyla/chapter"_s));
    if (chapter.empty())
        return data;
    data[u"xesam:title"_s] = shownName(chapter, library::ItemKind::Chapter);
    data[u"xesam:album"_s] = shownName(chapter.parent_path(), library::ItemKind::Folder);
    data[u"xesam:artist"_s] = QStringList{u"Veyla"_s};
    data[u"xesam:url"_s] = QString::fromStdString("file://" + chapter.string());
    // Where reading is in the chapter (the reading position the exit bookmark keeps).
    data[u"veyla:position"_s] = static_cast<qlonglong>(m_reading.position());
    return data;
}

qlonglong MediaControls::position() const
{
    Clock::duration heard = m_heard;
    if (m_playingSince)
        heard += Clock::now() - *m_playingSince;
    return std::chrono::duration_cast<std::chrono::microseconds>(heard).count();
}

void MediaControls::trackPosition()
{
    const Clock::time_point now = Clock::now();
    if (m_playingSince)
        m_heard += now - *m_playingSince;
    m_playingSince.reset();
    if (m_reading.chapterPath() != m_positionChapter) {
        m_positionChapter = m_reading.chapterPath();
        m_heard = {};
    }
    if (m_speech.playback() == SpeechController::Playback::Playing)
        m_playingSince = now;
}

void MediaControls::play()
{
    m_speech.resume();
}

void MediaControls::pause()
{
    m_speech.pause();
}

void MediaControls::playPause()
{
    m_speech.playPause();
}

void MediaControls::stop()
{
    m_speech.stop();
}

void MediaControls::next()
{
    const bool playing = m_speech.playback() == SpeechController::Playback::Playing;
    m_router.trigger(kNextChapter);
    if (playing)
        m_router.trigger(kSpeakAll);
    announce();
}

void MediaControls::previous()
{
    const bool playing = m_speech.playback() == SpeechController::Playback::Playing;
    m_router.trigger(kPreviousChapter);
    if (playing)
        m_router.trigger(kSpeakAll);
    announce();
}

void MediaControls::raise()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void MediaControls::announce()
{
    if (!m_published)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kObjectPath),
                                                     u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
    QVariantMap changed;
    changed[u"PlaybackStatus"_s] = playbackStatus();
    changed[u"Metadata"_s] = metadata();
    signal << u"org.mpris.MediaPlayer2.Player"_s << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

MprisRootAdaptor::MprisRootAdaptor(MediaControls* controls) : QDBusAbstractAdaptor(controls), m_controls(controls) {}

QString MprisRootAdaptor::identity() const
{
    return u"Veyla"_s;
}

QString MprisRootAdaptor::desktopEntry() const
{
    return u"org.veyla.Veyla"_s;
}

void MprisRootAdaptor::Raise()
{
    m_controls->raise();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MediaControls* controls) : QDBusAbstractAdaptor(controls), m_controls(controls)
{
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_controls->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_controls->metadata();
}

qlonglong MprisPlayerAdaptor::position() const
{
    return m_controls->position();
}

void MprisPlayerAdaptor::Play()
{
    m_controls->play();
}

void MprisPlayerAdaptor::Pause()
{
    m_controls->pause();
}

void MprisPlayerAdaptor::PlayPause()
{
    m_controls->playPause();
}

void MprisPlayerAdaptor::Stop()
{
    m_controls->stop();
}

void MprisPlayerAdaptor::Next()
{
    m_controls->next();
}

void MprisPlayerAdaptor::Previous()
{
    m_controls->previous();
}

}  // namespace veyla::gui
