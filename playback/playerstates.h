#pragma once

#include "playback/mediaplayer.h"

#include <QMediaPlayer>
#include <QString>

#include <functional>

namespace melodrift {

//! Turns what a QMediaPlayer reports into the design's play-state numbers (MediaPlayer::PlayState)
//! and the player's status. It owns no player and no timer: the driver tells it what it does
//! (a new song, a stop, a restart), feeds it Qt's signals of the current load in the order they
//! come, and calls settle() once the event that reported a stop is over.
//! Contract: a new address (another or the same) reports Transitioning, never Stopped; a song's
//! end reports MediaEnded, then Stopped and Ended unless a handler of MediaEnded gave a new
//! address; the first error of a load reports Ready and Failed with its error and the rest of it is ignored.
class PlayerStates {
public:
    //! Called for every change of the play state, and of the status text, in order.
    std::function<void(MediaPlayer::PlayState state)> onState;
    std::function<void(const PlayerStatus& status)> onStatus;

    [[nodiscard]] MediaPlayer::PlayState state() const { return m_state; }
    [[nodiscard]] PlayerStatus status() const { return m_status; }

    //! An address is loading from its start and will play: a new one, or the same again.
    void loading();
    //! The current address is loading again because it made no progress.
    void restarting();
    //! The person stopped the player.
    void stopped();
    void playbackStateChanged(QMediaPlayer::PlaybackState state, QMediaPlayer::MediaStatus status);
    void mediaStatusChanged(QMediaPlayer::MediaStatus status, QMediaPlayer::PlaybackState state);
    //! Returns true for the first error of a load: the driver then drops that load.
    bool errorOccurred(QMediaPlayer::Error error);
    //! True while a stop waits to learn whether the end of media follows it.
    [[nodiscard]] bool settlePending() const { return m_stopPending; }
    //! A stop not followed by the end of media is reported as a stop.
    void settle();

private:
    void setState(MediaPlayer::PlayState state);
    void setStatus(PlayerStatus::Kind kind, QMediaPlayer::Error error = QMediaPlayer::NoError);
    //! "Connecting" and "buffering" say less than "reconnecting", which stays until the song plays.
    void setProgressStatus(PlayerStatus::Kind kind);
    void begin(PlayerStatus::Kind kind);
    void reportEnd();

    MediaPlayer::PlayState m_state = MediaPlayer::Undefined;
    PlayerStatus m_status;
    quint64 m_generation = 0;    // one per load; a handler that loads anew while the end is reported starts a new song
    bool m_failed = false;       // the load failed; Qt's later signals about it are ignored
    bool m_stopPending = false;  // Qt reports the stop before the end of media
    bool m_reconnecting = false; // a restarted load has not played yet
};

} // namespace melodrift
