#pragma once

#include "playback/playbackstate.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

#include <functional>

namespace melodrift {

class MediaPlayer;

//! The player on the session bus (MPRIS 2), so that a desktop's media keys and panel control it.
//! Registers org.mpris.MediaPlayer2.melodrift.instance<PID> when a session bus exists; without one
//! it only answers calls made on it directly. What needs the window or the song list it asks for
//! through its signals, which the window connects.
class MprisService : public QObject {
    Q_OBJECT
public:
    //! `listCount` gives the number of rows in the song list at the moment it is called.
    MprisService(MediaPlayer* player, std::function<int()> listCount, QObject* parent = nullptr);
    ~MprisService() override;

    //! The bus name, or "" when no session bus could be had.
    [[nodiscard]] QString serviceName() const { return m_serviceName; }

    [[nodiscard]] QString playbackStatus() const;
    [[nodiscard]] QVariantMap metadata() const;
    [[nodiscard]] bool canGoNext() const;

    void playPause();
    void play();
    void pause();
    //! The person's own stop (asked for with stopRequested).
    void stop();
    void next();
    void raise();
    void quit();

    //! A row's song was given to the player.
    void songStarted(int row, const QString& id, const QString& title);

    [[nodiscard]] MediaPlayer* player() const { return m_player; }

Q_SIGNALS:
    //! Play was asked with nothing loaded: start the song list.
    void playRequested();
    //! The next song by the play mode, as at a song's end.
    void nextRequested();
    //! The person's own stop, as a click on the player: no automatic re-play follows it.
    void stopRequested();
    void raiseRequested();
    void quitRequested();

private:
    void notify(const QString& interface, const QVariantMap& changed);
    void playStateChanged();

    MediaPlayer* m_player;
    std::function<int()> m_listCount;
    QString m_serviceName;
    QString m_lastStatus;
    QString m_songId;
    QString m_songTitle;
    bool m_hasSong = false;
};

//! org.mpris.MediaPlayer2
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit MprisRootAdaptor(MprisService* service);
    [[nodiscard]] bool canQuit() const { return true; }
    [[nodiscard]] bool canRaise() const { return true; }
    [[nodiscard]] bool hasTrackList() const { return false; }
    [[nodiscard]] QString identity() const { return QStringLiteral("Melodrift"); }
    [[nodiscard]] QString desktopEntry() const { return QStringLiteral("org.melodrift.Melodrift"); }
    [[nodiscard]] QStringList supportedUriSchemes() const { return {}; }
    [[nodiscard]] QStringList supportedMimeTypes() const { return {}; }

public Q_SLOTS:
    void Raise() { m_service->raise(); }
    void Quit() { m_service->quit(); }

private:
    MprisService* m_service;
};

//! org.mpris.MediaPlayer2.Player
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit MprisPlayerAdaptor(MprisService* service);
    [[nodiscard]] QString playbackStatus() const { return m_service->playbackStatus(); }
    [[nodiscard]] double rate() const { return 1.0; }
    void setRate(double) {}
    [[nodiscard]] QVariantMap metadata() const { return m_service->metadata(); }
    [[nodiscard]] double volume() const;
    void setVolume(double volume);
    //! Microseconds.
    [[nodiscard]] qlonglong position() const;
    [[nodiscard]] bool canGoNext() const { return m_service->canGoNext(); }
    [[nodiscard]] bool yes() const { return true; }
    [[nodiscard]] bool no() const { return false; }

public Q_SLOTS:
    void Next() { m_service->next(); }
    void Previous() {}
    void Pause() { m_service->pause(); }
    void PlayPause() { m_service->playPause(); }
    void Stop() { m_service->stop(); }
    void Play() { m_service->play(); }
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    MprisService* m_service;
};

//! The MPRIS track id for a song ID: an object path, whatever the ID holds.
[[nodiscard]] QDBusObjectPath trackIdFor(const QString& songId);

} // namespace melodrift
