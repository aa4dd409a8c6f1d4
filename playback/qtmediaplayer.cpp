#include "playback/qtmediaplayer.h"

#include <QAudioOutput>

namespace melodrift {

QtMediaPlayer::QtMediaPlayer(QObject* parent) : MediaPlayer(parent)
{
    m_states.onState = [this](int state) {
        updateWatchdog();
        Q_EMIT PlayStateChange(state);
    };
    m_states.onStatus = [this](const QString&) { Q_EMIT StatusChange(); };
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(kDefaultStallTimeoutMs);
    connect(&m_watchdog, &QTimer::timeout, this, &QtMediaPlayer::stalled);
}

QtMediaPlayer::~QtMediaPlayer()
{
    m_watchdog.stop();
    if (m_load) {
        m_load->disconnect(this);
        delete m_load;
    }
    delete m_audio;
}

void QtMediaPlayer::load()
{
    m_position = 0;
    auto* player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_audio->setVolume(float(m_volume));
    m_audio->setMuted(m_muted);
    // Without an audio output the GStreamer backend fails every stream.
    player->setAudioOutput(m_audio);
    if (m_videoOutput)
        player->setVideoOutput(m_videoOutput.data());
    m_load = player;
    connect(player, &QMediaPlayer::playbackStateChanged, this, &QtMediaPlayer::onPlaybackState);
    connect(player, &QMediaPlayer::mediaStatusChanged, this, &QtMediaPlayer::onMediaStatus);
    connect(player, &QMediaPlayer::errorOccurred, this, &QtMediaPlayer::onError);
    connect(player, &QMediaPlayer::bufferProgressChanged, this, &QtMediaPlayer::progressed);
    connect(player, &QMediaPlayer::durationChanged, this, &MediaPlayer::durationChanged);
    connect(player, &QMediaPlayer::hasVideoChanged, this, &MediaPlayer::hasVideoChanged);
    connect(player, &QMediaPlayer::positionChanged, this, [this](qint64 ms) {
        if (ms != m_position) {
            m_position = ms;
            progressed();
        }
        Q_EMIT positionChanged(ms);
    });
    player->setSource(QUrl(m_url, QUrl::TolerantMode));
    player->play();
    updateWatchdog();
}

void QtMediaPlayer::unload()
{
    m_watchdog.stop();
    if (m_load) {
        const bool video = m_load->hasVideo();
        m_load->disconnect(this);
        // Later, not now: this may run inside one of the load's own signals.
        m_load->deleteLater();
        m_load = nullptr;
        if (video)
            Q_EMIT hasVideoChanged(false);
    }
    if (m_audio) {
        // After the load, which does not let go of its output when it goes.
        m_audio->deleteLater();
        m_audio = nullptr;
    }
    if (m_position != 0) {
        m_position = 0;
        Q_EMIT positionChanged(0);
    }
}

void QtMediaPlayer::setURL(const QString& url)
{
    unload();
    m_url = url;
    m_restartUsed = false;
    m_states.loading();
    load();
}

void QtMediaPlayer::play()
{
    if (m_url.isEmpty())
        return;
    if (m_load && m_load->playbackState() == QMediaPlayer::PausedState) {
        m_load->play();
        return;
    }
    if (m_load && m_load->playbackState() == QMediaPlayer::PlayingState)
        return;
    // Stopped, ended or failed: from the start, as a load of its own.
    unload();
    m_restartUsed = false;
    m_states.loading();
    load();
}

void QtMediaPlayer::pause()
{
    if (m_load && m_load->playbackState() == QMediaPlayer::PlayingState)
        m_load->pause();
}

void QtMediaPlayer::stop()
{
    unload();
    m_states.stopped();
}

qint64 QtMediaPlayer::position() const
{
    return m_load ? m_load->position() : 0;
}

qint64 QtMediaPlayer::duration() const
{
    return m_load ? m_load->duration() : 0;
}

void QtMediaPlayer::setPosition(qint64 ms)
{
    if (m_load)
        m_load->setPosition(ms);
}

void QtMediaPlayer::setVolume(double volume)
{
    volume = qBound(0.0, volume, 1.0);
    if (volume == m_volume)
        return;
    m_volume = volume;
    if (m_audio)
        m_audio->setVolume(float(volume));
    Q_EMIT volumeChanged(volume);
}

void QtMediaPlayer::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    if (m_audio)
        m_audio->setMuted(muted);
    Q_EMIT mutedChanged(muted);
}

void QtMediaPlayer::setVideoOutput(QObject* output)
{
    m_videoOutput = output;
    if (m_load)
        m_load->setVideoOutput(output);
}

void QtMediaPlayer::onPlaybackState(QMediaPlayer::PlaybackState state)
{
    m_states.playbackStateChanged(state, m_load->mediaStatus());
    // The end of media may follow a stop at once; decide once it had its chance.
    if (m_states.settlePending())
        QTimer::singleShot(0, this, [this] { m_states.settle(); });
}

void QtMediaPlayer::onMediaStatus(QMediaPlayer::MediaStatus status)
{
    progressed();
    m_states.mediaStatusChanged(status, m_load->playbackState());
}

void QtMediaPlayer::onError(QMediaPlayer::Error error)
{
    if (m_states.errorOccurred(error))
        unload();
}

void QtMediaPlayer::progressed()
{
    if (m_watchdog.isActive())
        m_watchdog.start();
}

void QtMediaPlayer::updateWatchdog()
{
    const int state = m_states.state();
    const bool watched = m_load && (state == Transitioning || state == Buffering || state == Playing);
    if (watched)
        m_watchdog.start();
    else
        m_watchdog.stop();
}

void QtMediaPlayer::stalled()
{
    unload();
    if (m_restartUsed) {
        m_states.errorOccurred(QMediaPlayer::NetworkError);
        return;
    }
    m_restartUsed = true;
    ++m_restarts;
    m_states.restarting();
    load();
}

} // namespace melodrift
