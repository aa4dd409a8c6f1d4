#pragma once

#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;
class QVideoWidget;

namespace melodrift {

//! The embedded player's face: the player's status (or the video) above a control bar of play or
//! pause, stop, position, time, mute and volume. It plays nothing: it shows the state it is given
//! and reports what the person asks for. A press anywhere on it raises Click once, before the
//! pressed control acts on it; so does a control worked by key or by a screen reader.
class PlayerView : public QWidget {
    Q_OBJECT
public:
    explicit PlayerView(QWidget* parent = nullptr);

    //! Where the player draws video; shown instead of the status while the media has video.
    [[nodiscard]] QVideoWidget* videoOutput() const { return m_video; }
    void setVideoShown(bool video);
    //! The play button shows pause while this is true.
    void setPlaying(bool playing);
    void setStatusText(const QString& text);
    //! The song the player has, shown under its status (one line, cut with … where it is long).
    void setSongTitle(const QString& title);
    [[nodiscard]] QString songTitle() const { return m_title; }
    void setDuration(qint64 ms);
    void setPosition(qint64 ms);
    //! 0.0 (silent) to 1.0; starts at 0.5.
    [[nodiscard]] double volume() const;
    void setVolume(double volume);
    [[nodiscard]] bool isMuted() const;
    void setMuted(bool muted);

    void setEnableContextMenu(bool enable);
    [[nodiscard]] bool enableContextMenu() const { return contextMenuPolicy() != Qt::NoContextMenu; }

    [[nodiscard]] QToolButton* playPauseButton() const { return m_playPause; }
    [[nodiscard]] QToolButton* stopButton() const { return m_stop; }
    [[nodiscard]] QToolButton* muteButton() const { return m_mute; }
    [[nodiscard]] QSlider* seekSlider() const { return m_seek; }
    [[nodiscard]] QSlider* volumeSlider() const { return m_volume; }
    [[nodiscard]] QLabel* timeLabel() const { return m_time; }
    [[nodiscard]] QString statusText() const;
    //! The controls that take the keyboard's focus, in their tab order.
    [[nodiscard]] QList<QWidget*> focusableControls() const;

Q_SIGNALS:
    void playPauseClicked();
    void stopClicked();
    //! The person released the position slider here.
    void seekRequested(qint64 ms);
    void volumeChanged(double volume);
    void mutedChanged(bool muted);
    void Click(int button, int shift, float x, float y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* widget);
    void clickedWithoutPointer(QWidget* control);
    void updateTime();
    void updateScreen();

    QLabel* m_screen;
    QString m_status;
    QString m_title;
    QVideoWidget* m_video;
    QToolButton* m_playPause;
    QToolButton* m_stop;
    QToolButton* m_mute;
    QSlider* m_seek;
    QLabel* m_time;
    QSlider* m_volume;
    qint64 m_duration = 0;
    qint64 m_position = 0;
    bool m_playing = false;
    quint64 m_lastPress = 0;      // timestamp of the press already reported
    bool m_pointerActing = false; // between a reported press and the end of its release
};

//! "m:ss" for a position or duration in milliseconds.
[[nodiscard]] QString formatTime(qint64 ms);

} // namespace melodrift
