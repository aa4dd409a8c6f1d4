#pragma once

#include "playback/mediaplayer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QPointer>
#include <QTimer>

#include <atomic>

// GStreamer's own names, declared without its headers.
using GstElement = struct _GstElement; // NOLINT(bugprone-reserved-identifier)
using GstMessage = struct _GstMessage; // NOLINT(bugprone-reserved-identifier)

namespace melodrift {

//! The player on one GStreamer playbin for the program's whole run; a PlayerView shows it.
//! Gapless: the address given by setNextURL() is queued in the pipeline as a song nears its end
//! (playbin's about-to-finish), so the change of song is made inside the pipeline to the sample.
//! The change shows when the new stream starts: then the song that ended reports MediaEnded, and
//! a handler that gives the queued address with setURL() keeps it playing; any other address is
//! loaded anew, and none stops the queued song.
//! A stall pauses: below 100 % buffered the pipeline waits, at 100 % it plays on where it stood.
//! A load that makes no progress (no byte read, nothing played) for stallTimeout() is made anew
//! and resumes where the song stood (a range request); one restart per stall, regained once the
//! song has played restartRegain() past it; a stall with none left fails the song. A sound server
//! that goes away is waited for, and the song resumes where it stood through the new one.
//! The volume is the audio sink's stream volume where it has one (PulseAudio, PipeWire's layer):
//! one stream on the server across songs, whose volume the mixer shows and changes.
class GstPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    static constexpr int kDefaultStallTimeoutMs = 15'000;
    static constexpr int kDefaultRestartRegainMs = 30'000;
    //! How long the sound server is waited for before the song fails.
    static constexpr int kOutputWaitMs = 20'000;

    //! `audioSink`: a gst-launch description of where the sound goes (a test's appsink); "" for
    //! the desktop's: the sound server when one answers, else ALSA.
    explicit GstPlayer(QObject* parent = nullptr, const QByteArray& audioSink = {});
    ~GstPlayer() override;
    GstPlayer(const GstPlayer&) = delete;
    GstPlayer& operator=(const GstPlayer&) = delete;

    void setURL(const QString& url) override;
    void setNextURL(const QString& url) override;
    [[nodiscard]] QString URL() const override { return m_url; }
    [[nodiscard]] PlayState playState() const override { return m_state; }
    [[nodiscard]] PlayerStatus status() const override { return m_status; }
    void play() override;
    void pause() override;
    void stop() override;
    [[nodiscard]] qint64 position() const override;
    [[nodiscard]] qint64 duration() const override { return m_duration; }
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
    //! How many loads the watchdog or a lost sound server has made anew since the player was made.
    [[nodiscard]] int restarts() const { return m_restarts; }

private:
    enum class Phase {
        Idle,      //!< nothing loaded: before the first song, after a stop, an end or a failure
        Loading,   //!< a song loads from its start, or anew where it stood
        Playing,   //!< playing, or waiting for its buffer to fill
        Paused,    //!< the person paused it
        OutputLost //!< the sound server went away; waiting for it
    };

    //! The pipeline's messages on the window's thread; `generation` tells a load's from the next.
    void handle(GstMessage* message, quint64 generation);
    void onStreamStart();
    void onEnd();
    void onError(GstMessage* message);
    void onBuffering(int percent);
    void onStateReached();
    void loadFrom(qint64 ms, PlayerStatus::Kind status);
    void unload();
    void clearSong();
    void setState(PlayState state);
    void setStatus(PlayerStatus::Kind kind, const Failure& failure = {});
    void setPlaying();
    void fail(const Failure& failure);
    //! Nothing loaded any more: the pipeline let go, then the state and status said.
    void settle(PlayState state, PlayerStatus::Kind status, const Failure& failure = {});
    void poll();
    void stalled();
    void retryOutput();
    void applyVolume();
    void mixerChanged();
    void readTitle();
    void readVideo();
    //! The pipeline and its audio sink are made at the first load: a window that plays nothing
    //! holds neither.
    void makePipeline();
    //! Video frames go to the view's sink.
    void showVideo();
    //! The pipeline plays, or stays paused: until it has prerolled, while paused by the person,
    //! before a resume's seek, while its buffer fills.
    void go();

    // Streaming threads.
    static void aboutToFinish(GstElement* playbin, void* self);
    void silenceIfNotChosen();

    QByteArray m_audioSinkDescription;
    GstElement* m_pipeline = nullptr;
    GstElement* m_audioSink = nullptr;
    bool m_serverSink = false;           // the sink is the sound server's and holds its own stream volume
    GstElement* m_volumeOwner = nullptr; // whose stream volume is the player's: that sink, else playbin
    QPointer<QVideoSink> m_videoSink;
    std::atomic<quint64> m_generation{0};

    QMutex m_queueLock; // with about-to-finish
    QString m_nextUrl;
    bool m_nextTold = false; // m_nextUrl told since the last one was queued
    QString m_queuedUrl;     // given to the pipeline, its stream not started yet

    QString m_url;
    bool m_streamStarted = false; // the load's own stream has started
    QString m_switchedUrl;        // the queued song now playing, until the end's handler takes it
    Phase m_phase = Phase::Idle;
    PlayState m_state = Undefined;
    PlayerStatus m_status;
    int m_buffering = 100;
    bool m_prerolled = false; // the load reached PAUSED (its ASYNC_DONE)
    qint64 m_resumeAt = -1;   // where the load goes once prerolled; shown until the seek there lands
    qint64 m_seekingTo = -1;  // the seek asked for m_resumeAt, not landed yet
    qint64 m_position = 0;
    qint64 m_sourceBytes = -1; // how far the source has read, when last polled
    qint64 m_duration = 0;
    QString m_mediaTitle;
    bool m_hasVideo = false;
    double m_volume = 0.5;
    bool m_muted = false;
    QElapsedTimer m_streamAge; // since the sink's stream was made: the server's first reports pass
    QTimer m_poll;
    QTimer m_watchdog;
    QTimer m_outputRetry;
    QElapsedTimer m_outputLostFor;
    int m_restartRegainMs = kDefaultRestartRegainMs;
    bool m_restartUsed = false;
    qint64 m_restartedAt = 0;
    int m_restarts = 0;
};

} // namespace melodrift
