#pragma once

#include "playback/mediaplayer.h"
#include "playback/playerstates.h"

#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>

class QAudioOutput;

namespace melodrift {

//! The player on Qt Multimedia's GStreamer back end; a PlayerView shows it.
//! Every song is a load of its own (a fresh QMediaPlayer): Qt 6.4 stops a player by seeking it,
//! which makes the site see the old song's page again, and a seek after the end of a stream could
//! leave the next song stalled for good. So the player never stops or re-sources a load: a new
//! address, a stop and a play after a stop or an end drop the load and make a new one, and the
//! site sees one request for each play. A load that makes no progress (no status, buffer or
//! position change) for stallTimeout() while connecting, buffering or playing is made anew once;
//! a second stall of the same song fails it like an unplayable address.
class QtMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    static constexpr int kDefaultStallTimeoutMs = 15'000;

    explicit QtMediaPlayer(QObject* parent = nullptr);
    ~QtMediaPlayer() override;

    void setURL(const QString& url) override;
    [[nodiscard]] QString URL() const override { return m_url; }
    [[nodiscard]] int playState() const override { return m_states.state(); }
    [[nodiscard]] QString status() const override { return m_states.status(); }
    void play() override;
    void pause() override;
    void stop() override;
    [[nodiscard]] qint64 position() const override;
    [[nodiscard]] qint64 duration() const override;
    void setPosition(qint64 ms) override;
    [[nodiscard]] double volume() const override { return m_volume; }
    void setVolume(double volume) override;
    [[nodiscard]] bool isMuted() const override { return m_muted; }
    void setMuted(bool muted) override;
    void setVideoOutput(QObject* output) override;

    void setStallTimeout(int ms) { m_watchdog.setInterval(ms); }
    [[nodiscard]] int stallTimeout() const { return m_watchdog.interval(); }
    //! How many loads the watchdog has made anew since the player was made.
    [[nodiscard]] int restarts() const { return m_restarts; }
    //! The current load, or null when none (before the first song, after a stop or a failure).
    [[nodiscard]] QMediaPlayer* mediaPlayer() const { return m_load; }

private:
    void load();
    void unload();
    void onPlaybackState(QMediaPlayer::PlaybackState state);
    void onMediaStatus(QMediaPlayer::MediaStatus status);
    void onError(QMediaPlayer::Error error);
    void progressed();
    void stalled();
    void updateWatchdog();

    QPointer<QMediaPlayer> m_load;
    QAudioOutput* m_audio = nullptr; // the load's; deleted after it
    QPointer<QObject> m_videoOutput;
    QString m_url;
    double m_volume = 0.5;
    bool m_muted = false;
    PlayerStates m_states;
    QTimer m_watchdog;
    bool m_restartUsed = false; // the current song was made anew once already
    int m_restarts = 0;
    qint64 m_position = 0;
};

} // namespace melodrift
