#pragma once

#include "net/failure.h"

#include <QObject>
#include <QString>

class QVideoSink;

namespace melodrift {

//! What the player is doing, as its status line says it (the words are the window's).
struct PlayerStatus {
    Q_GADGET
public:
    enum Kind { None, Connecting, Reconnecting, Buffering, Playing, Paused, Stopped, Ended, Failed };
    Q_ENUM(Kind)
    Kind kind = None;
    Failure failure; //!< why, when Failed
    bool operator==(const PlayerStatus&) const = default;
};

//! The embedded media player as the rest of the program sees it; a view shows it (PlayerView).
//! Contract: setting URL starts playback at once. At a song's end PlayStateChange reports
//! MediaEnded, then Stopped unless a handler of MediaEnded gave a new address. A new address
//! reports Transitioning, never Stopped. Every change of status() is followed by StatusChange.
//! No error dialogs.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    //! The play-state numbers of the player control the design names.
    enum PlayState {
        Undefined = 0,
        Stopped = 1,
        Paused = 2,
        Playing = 3,
        Buffering = 6,
        MediaEnded = 8,
        Transitioning = 9,
        Ready = 10,
    };

    using QObject::QObject;

    virtual void setURL(const QString& url) = 0;
    //! The address the end of this song is to go on to, "" for none: a player may begin it before
    //! the end so that no gap is heard; the end is reported as always, and setURL with this
    //! address then goes on with it.
    virtual void setNextURL(const QString& url) { Q_UNUSED(url); }
    [[nodiscard]] virtual QString URL() const = 0;
    [[nodiscard]] virtual PlayState playState() const = 0;
    [[nodiscard]] virtual PlayerStatus status() const = 0;
    //! controls.play: plays the current address from where it stands.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    //! Milliseconds into the current song, and its length (0 while unknown).
    [[nodiscard]] virtual qint64 position() const = 0;
    [[nodiscard]] virtual qint64 duration() const = 0;
    virtual void setPosition(qint64 ms) = 0;
    //! 0.0 (silent) to 1.0.
    [[nodiscard]] virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;
    [[nodiscard]] virtual bool isMuted() const = 0;
    virtual void setMuted(bool muted) = 0;
    //! The title the current file gives itself (its ID3 title), "" while it has given none.
    [[nodiscard]] virtual QString mediaTitle() const { return {}; }
    //! Where video frames go (a QVideoWidget's sink, say); the player does not own it.
    virtual void setVideoSink(QVideoSink* sink) = 0;

    //! The states in which the player is, or is about to be, playing.
    [[nodiscard]] static bool isPlaying(PlayState state)
    {
        return state == Playing || state == Buffering || state == Transitioning;
    }

Q_SIGNALS:
    //! The design's event: the new state as its number.
    void PlayStateChange(int newState);
    void StatusChange();
    void positionChanged(qint64 ms);
    void durationChanged(qint64 ms);
    void hasVideoChanged(bool video);
    void volumeChanged(double volume);
    void mutedChanged(bool muted);
    void mediaTitleChanged(const QString& title);
};

} // namespace melodrift
