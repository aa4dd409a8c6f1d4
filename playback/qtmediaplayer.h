#pragma once

#include "playback/mediaplayer.h"
#include "playback/playerstates.h"

#include <QMediaPlayer>

class QAudioOutput;

namespace melodrift {

//! The player on Qt Multimedia's GStreamer back end; a PlayerView shows it.
class QtMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
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
    [[nodiscard]] double volume() const override;
    void setVolume(double volume) override;
    [[nodiscard]] bool isMuted() const override;
    void setMuted(bool muted) override;
    void setVideoOutput(QObject* output) override;

    [[nodiscard]] QMediaPlayer* mediaPlayer() const { return m_player; }

private:
    void settleLater();

    QMediaPlayer* m_player;
    QAudioOutput* m_audio;
    QString m_url;
    PlayerStates m_states;
};

} // namespace melodrift
