#pragma once

#include "playback/mediaplayer.h"
#include "playback/playerstates.h"
#include "playback/streamvolume.h"

#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>

class QAudioOutput;

namespace melodrift {

//! The player on Qt Multimedia's GStreamer back end; a PlayerView shows it.
//! Every song is a load of its own (a fresh QMediaPlayer) that is never stopped, re-sourced or
//! reconfigured, only deleted: Qt 6.4 stops a player by seeking it to 0, re-sources it by stopping
//! it, and reconfigures a playing pipeline (taking its video sink away, say) with a flushing seek to
//! where it stands; each of these sends the site a request for a song the person has left. A new
//! address, a stop and a play after a stop or an end drop the load and make a new one, so the site
//! sees one song page and one file for each play. Video reaches the given sink through a sink of the
//! load's own, so no later load takes anything from an earlier one.
//! A load that makes no progress (no status, buffer or position change) for stallTimeout() while
//! connecting, buffering or playing is made anew and resumes where the song stood. One restart is
//! spent per stall: it comes back once the song has played restartRegain() past the restart, and
//! every new song starts with it whole. A stall with none left fails the song like an unplayable
//! address.
//! The next song may be made ready (prepare()): a load of its own, paused at its start once it has
//! buffered, that setURL with its address plays at once; any other address, a stop or prepare("")
//! deletes it.
class QtMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    static constexpr int kDefaultStallTimeoutMs = 15'000;
    static constexpr int kDefaultRestartRegainMs = 30'000;
    //! How long before a song's end the song made ready starts: what a sound server takes from a
    //! stream's start to its first sound (measured with PulseAudio 16, bench/gaps.sh).
    static constexpr int kNextStartLeadMs = 40;

    explicit QtMediaPlayer(QObject* parent = nullptr);
    ~QtMediaPlayer() override;

    void setURL(const QString& url) override;
    void prepare(const QString& url) override;
    [[nodiscard]] QString URL() const override { return m_url; }
    [[nodiscard]] PlayState playState() const override { return m_states.state(); }
    [[nodiscard]] PlayerStatus status() const override { return m_states.status(); }
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
    void setVideoSink(QVideoSink* sink) override;
    [[nodiscard]] QString mediaTitle() const override { return m_mediaTitle; }

    void setStallTimeout(int ms) { m_watchdog.setInterval(ms); }
    [[nodiscard]] int stallTimeout() const { return m_watchdog.interval(); }
    void setRestartRegain(int ms) { m_restartRegainMs = ms; }
    [[nodiscard]] int restartRegain() const { return m_restartRegainMs; }
    //! How many loads the watchdog has made anew since the player was made.
    [[nodiscard]] int restarts() const { return m_restarts; }
    //! The current load, or null when none (before the first song, after a stop or a failure).
    [[nodiscard]] QMediaPlayer* mediaPlayer() const { return m_load; }
    //! The load made ready to play next, or null.
    [[nodiscard]] QMediaPlayer* preparedPlayer() const { return m_next.player; }

private:
    //! A load's player and the outputs it does not let go of until it is deleted.
    struct Load {
        QPointer<QMediaPlayer> player;
        QAudioOutput* audio = nullptr;
        QVideoSink* frames = nullptr;
    };
    //! A player for the address with the program's volume; its frames reach the view while it is
    //! the current load.
    [[nodiscard]] Load makeLoad(const QString& url);
    //! Deletes a load that is not the current one.
    static void drop(Load& load);
    void load();
    void follow(QMediaPlayer* player);
    //! Plays the load made ready, as a new song.
    void playPrepared();
    //! The load made ready stops holding itself and sounds at the program's volume.
    void wakeNext();
    //! Drops the current load and, unless `keepPosition` (a restart resumes there), where the song
    //! stood; `now` deletes it at once (never from one of its own signals).
    void unload(bool keepPosition = false, bool now = false);
    //! A song from its start, its restart budget whole: the current load goes, the next is begun.
    void beginSong();
    void startSong();
    void onPlaybackState(QMediaPlayer::PlaybackState state);
    void onMediaStatus(QMediaPlayer::MediaStatus status);
    void onError(QMediaPlayer::Error error);
    void onPosition(qint64 ms);
    void resume();
    void progressed();
    void stalled();
    void updateWatchdog();

    QPointer<QMediaPlayer> m_load;
    QAudioOutput* m_audio = nullptr; // the load's; deleted after it
    StreamVolume* m_stream;          // the sound server's volume of the program's streams
    QVideoSink* m_frames = nullptr;  // the load's; deleted after it
    Load m_next;                     // made ready to play next
    QString m_nextUrl;
    QElapsedTimer m_nextClock; // since the next load was asked for
    QTimer m_nextStart;        // starts the next load a moment before the end
    QPointer<QVideoSink> m_videoSink;
    QString m_url;
    double m_volume = 0.5;
    bool m_muted = false;
    PlayerStates m_states;
    QTimer m_watchdog;
    int m_restartRegainMs = kDefaultRestartRegainMs;
    bool m_restartUsed = false; // spent on a stall of this song, not yet regained
    qint64 m_restartedAt = 0;   // where the song stood at its last restart
    qint64 m_resumeAt = -1;     // where the restarted load is to seek once it can; -1: nowhere
    int m_restarts = 0;
    qint64 m_position = 0;
    qint64 m_duration = 0; // the length reported for the song loaded, 0 while unknown
    QString m_mediaTitle;
};

} // namespace melodrift
