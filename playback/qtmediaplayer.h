#pragma once

#include "playback/mediaplayer.h"

#include <QMediaPlayer>

class QAudioOutput;
class QLabel;
class QSlider;
class QToolButton;
class QVideoWidget;

namespace melodrift {

//! The embedded player: QMediaPlayer on GStreamer with a video area and a control bar of ours.
class QtMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    explicit QtMediaPlayer(QWidget* parent = nullptr);
    ~QtMediaPlayer() override;

    void setURL(const QString& url) override;
    [[nodiscard]] QString URL() const override { return m_url; }
    [[nodiscard]] int playState() const override { return m_state; }
    [[nodiscard]] QString status() const override { return m_status; }
    void play() override;
    void pause() override;
    void stop() override;
    [[nodiscard]] qint64 position() const override;
    [[nodiscard]] double volume() const override;
    void setVolume(double volume) override;
    void setEnableContextMenu(bool enable) override;

    [[nodiscard]] QToolButton* playPauseButton() const { return m_playPause; }
    [[nodiscard]] QToolButton* stopButton() const { return m_stop; }
    [[nodiscard]] QToolButton* muteButton() const { return m_mute; }
    [[nodiscard]] QSlider* volumeSlider() const { return m_volume; }
    [[nodiscard]] QSlider* seekSlider() const { return m_seek; }
    [[nodiscard]] QMediaPlayer* mediaPlayer() const { return m_player; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setState(int state);
    void setStatus(const QString& status);
    void onPlaybackStateChanged(QMediaPlayer::PlaybackState state);
    void onMediaStatusChanged(QMediaPlayer::MediaStatus status);
    void onError(QMediaPlayer::Error error);
    void reportEnd();
    void flushStop();
    void updateTime();
    void watchForClicks(QWidget* widget);

    QMediaPlayer* m_player;
    QAudioOutput* m_audio;
    QVideoWidget* m_video;
    QLabel* m_screen;
    QToolButton* m_playPause;
    QToolButton* m_stop;
    QToolButton* m_mute;
    QSlider* m_seek;
    QSlider* m_volume;
    QLabel* m_time;

    QString m_url;
    int m_state = Undefined;
    QString m_status;
    bool m_failed = false;      // the current address failed; Qt's later signals about it are ignored
    bool m_stopPending = false; // Qt reports the stop before the end of media
};

//! "m:ss" for a position or duration in milliseconds.
[[nodiscard]] QString formatTime(qint64 ms);

} // namespace melodrift
