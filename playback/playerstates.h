#pragma once

#include <QMediaPlayer>
#include <QString>

#include <functional>

namespace melodrift {

//! Turns what QMediaPlayer reports into the design's play-state numbers (MediaPlayer::PlayState)
//! and the player's status texts. It owns no player and no timer: the driver feeds it Qt's signals
//! in the order they come and calls settle() once the event that reported a stop is over.
class PlayerStates {
public:
    //! Called for every change of the play state, and of the status text, in order.
    std::function<void(int state)> onState;
    std::function<void(const QString& status)> onStatus;

    [[nodiscard]] int state() const { return m_state; }
    [[nodiscard]] QString status() const { return m_status; }

    //! A new address is about to be loaded: what Qt said of the old one no longer counts.
    void reset();
    //! A play command: the address is tried again even if it failed.
    void clearFailure() { m_failed = false; }
    //! The new address is loading and will play.
    void connecting();
    void playbackStateChanged(QMediaPlayer::PlaybackState state, QMediaPlayer::MediaStatus status);
    void mediaStatusChanged(QMediaPlayer::MediaStatus status, QMediaPlayer::PlaybackState state);
    //! Returns true for the first error of an address (the driver then stops the player).
    bool errorOccurred(QMediaPlayer::Error error);
    //! True while a stop waits to learn whether the end of media follows it.
    [[nodiscard]] bool settlePending() const { return m_stopPending; }
    //! A stop not followed by the end of media is reported as a stop.
    void settle();
    //! Every new address counts one; a handler that gives one while the end is reported starts a new song.
    [[nodiscard]] quint64 generation() const { return m_generation; }

private:
    void setState(int state);
    void setStatus(const QString& status);
    void reportEnd();

    int m_state = 0;
    QString m_status;
    quint64 m_generation = 0;
    bool m_failed = false;      // the current address failed; Qt's later signals about it are ignored
    bool m_stopPending = false; // Qt reports the stop before the end of media
};

} // namespace melodrift
