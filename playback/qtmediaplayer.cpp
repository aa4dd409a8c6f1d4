#include "playback/qtmediaplayer.h"

#include <QAudioOutput>
#include <QTimer>

namespace melodrift {

QtMediaPlayer::QtMediaPlayer(QObject* parent)
    : MediaPlayer(parent), m_player(new QMediaPlayer(this)), m_audio(new QAudioOutput(this))
{
    // Without an audio output the GStreamer backend fails every stream.
    m_player->setAudioOutput(m_audio);
    m_audio->setVolume(0.5f);
    m_states.onState = [this](int state) { Q_EMIT PlayStateChange(state); };
    m_states.onStatus = [this](const QString&) { Q_EMIT StatusChange(); };

    connect(m_audio, &QAudioOutput::volumeChanged, this, [this](float volume) { Q_EMIT volumeChanged(volume); });
    connect(m_audio, &QAudioOutput::mutedChanged, this, &MediaPlayer::mutedChanged);
    connect(m_player, &QMediaPlayer::positionChanged, this, &MediaPlayer::positionChanged);
    connect(m_player, &QMediaPlayer::durationChanged, this, &MediaPlayer::durationChanged);
    connect(m_player, &QMediaPlayer::hasVideoChanged, this, &MediaPlayer::hasVideoChanged);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState state) {
        m_states.playbackStateChanged(state, m_player->mediaStatus());
        settleLater();
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        m_states.mediaStatusChanged(status, m_player->playbackState());
    });
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (m_states.errorOccurred(error))
            m_player->stop();
    });
}

QtMediaPlayer::~QtMediaPlayer()
{
    // Stop the pipeline before the outputs go away.
    m_player->disconnect(this);
    m_player->stop();
}

void QtMediaPlayer::settleLater()
{
    // The end of media may follow a stop at once; decide once it had its chance.
    if (m_states.settlePending())
        QTimer::singleShot(0, this, [this] { m_states.settle(); });
}

void QtMediaPlayer::setURL(const QString& url)
{
    m_url = url;
    m_states.reset();
    // The same address again would be ignored: clear the source first.
    m_player->setSource(QUrl());
    m_player->setSource(QUrl(url, QUrl::TolerantMode));
    m_states.connecting();
    m_player->play();
}

void QtMediaPlayer::play()
{
    if (m_url.isEmpty())
        return;
    m_states.clearFailure();
    m_player->play();
}

void QtMediaPlayer::pause()
{
    m_player->pause();
}

void QtMediaPlayer::stop()
{
    m_player->stop();
}

qint64 QtMediaPlayer::position() const
{
    return m_player->position();
}

qint64 QtMediaPlayer::duration() const
{
    return m_player->duration();
}

void QtMediaPlayer::setPosition(qint64 ms)
{
    m_player->setPosition(ms);
}

double QtMediaPlayer::volume() const
{
    return m_audio->volume();
}

void QtMediaPlayer::setVolume(double volume)
{
    m_audio->setVolume(float(qBound(0.0, volume, 1.0)));
}

bool QtMediaPlayer::isMuted() const
{
    return m_audio->isMuted();
}

void QtMediaPlayer::setMuted(bool muted)
{
    m_audio->setMuted(muted);
}

void QtMediaPlayer::setVideoOutput(QObject* output)
{
    m_player->setVideoOutput(output);
}

} // namespace melodrift
