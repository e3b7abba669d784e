// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <chrono>
#include <filesystem>
#include <optional>

class QWidget;

namespace veyla::gui {

class CommandRouter;
class ReadingController;
class SpeechController;

// Read-aloud on the desktop's media controls: an MPRIS player
// (org.mpris.MediaPlayer2) on the session bus, so that media keys, headset
// buttons and the desktop's media panel play and pause, stop, and go to the
// next or previous chapter, and the panel shows the book, the chapter and
// the position. Without a session bus (or when the name is taken) nothing
// is published and nothing is said: the app works as before.
class MediaControls : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.veyla";
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";

    MediaControls(SpeechController& speech, ReadingController& reading, CommandRouter& router, QWidget* window);
    ~MediaControls() override;

    // Whether the player is on the bus.
    bool published() const { return m_published; }
    // The service name used ("org.mpris.MediaPlayer2.veyla", or with
    // ".instance<pid>" when another Veyla has the plain one).
    QString serviceName() const { return m_service; }

    QString playbackStatus() const;
    QVariantMap metadata() const;
    // How long the current chapter has been read aloud, in microseconds:
    // the player's Position. It runs while playing, holds while paused or
    // stopped, and starts again from 0 in another chapter.
    qlonglong position() const;

    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void raise();

private:
    void publish();
    // Tells the bus that the player's status or metadata changed.
    void announce();
    // Brings the position up to date with the playback state and chapter.
    void trackPosition();

    SpeechController& m_speech;
    ReadingController& m_reading;
    CommandRouter& m_router;
    QWidget* m_window;
    QString m_service;
    bool m_published = false;
    using Clock = std::chrono::steady_clock;
    std::filesystem::path m_positionChapter;
    Clock::duration m_heard{};                // read aloud before m_playingSince
    std::optional<Clock::time_point> m_playingSince;
};

// org.mpris.MediaPlayer2: the application.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ none)
    Q_PROPERTY(QStringList SupportedMimeTypes READ none)
public:
    explicit MprisRootAdaptor(MediaControls* controls);
    bool canQuit() const { return false; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const;
    QString desktopEntry() const;
    QStringList none() const { return {}; }

public slots:
    void Raise();
    void Quit() {}

private:
    MediaControls* m_controls;
};

// org.mpris.MediaPlayer2.Player: reading aloud as playback.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Rate READ one)
    Q_PROPERTY(double MinimumRate READ one)
    Q_PROPERTY(double MaximumRate READ one)
    Q_PROPERTY(double Volume READ one)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ yes)
    Q_PROPERTY(bool CanGoPrevious READ yes)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit MprisPlayerAdaptor(MediaControls* controls);
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double one() const { return 1.0; }
    qlonglong position() const;
    bool yes() const { return true; }
    bool no() const { return false; }

public slots:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

private:
    MediaControls* m_controls;
};

}  // namespace veyla::gui
