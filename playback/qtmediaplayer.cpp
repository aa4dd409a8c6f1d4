#include "playback/qtmediaplayer.h"

#include "playback/playbacklog.h"

#include <QAudioOutput>
#include <QMediaMetaData>
#include <QVideoFrame>
#include <QVideoSink>

#include <utility>

namespace melodrift {

QtMediaPlayer::QtMediaPlayer(QObject* parent) : MediaPlayer(parent), m_stream(new StreamVolume(this))
{
    m_states.onState = [this](PlayState state) {
        updateWatchdog();
        Q_EMIT PlayStateChange(state);
    };
    m_states.onStatus = [this](const PlayerStatus&) { Q_EMIT StatusChange(); };
    // With a sound server the stream's own volume is the volume, the one its mixer shows.
    connect(m_stream, &StreamVolume::connected, this, [this] {
        if (m_audio) {
            m_audio->setVolume(1.0F);
            m_audio->setMuted(false);
        }
        m_stream->setVolume(m_volume);
        m_stream->setMuted(m_muted);
    });
    connect(m_stream, &StreamVolume::volumeChanged, this, [this](double volume) {
        m_volume = volume;
        Q_EMIT volumeChanged(volume);
    });
    connect(m_stream, &StreamVolume::mutedChanged, this, [this](bool muted) {
        m_muted = muted;
        Q_EMIT mutedChanged(muted);
    });
    m_nextStart.setSingleShot(true);
    connect(&m_nextStart, &QTimer::timeout, this, [this] {
        if (!m_next.player || !m_load || m_load->playbackState() != QMediaPlayer::PlayingState)
            return;
        qCInfo(lcPlayback) << "the song made ready starts";
        wakeNext();
        m_next.player->play();
    });
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(kDefaultStallTimeoutMs);
    connect(&m_watchdog, &QTimer::timeout, this, &QtMediaPlayer::stalled);
}

QtMediaPlayer::~QtMediaPlayer()
{
    m_watchdog.stop();
    // Deleted, not stopped: deleting a load is the one way out of it that asks the site for nothing.
    if (m_load) {
        m_load->disconnect(this);
        delete m_load;
    }
    delete m_audio;
    delete m_frames;
    drop(m_next);
}

QtMediaPlayer::Load QtMediaPlayer::makeLoad(const QString& url)
{
    Load made;
    made.player = new QMediaPlayer(this);
    made.audio = new QAudioOutput(this);
    const bool server = m_stream->isConnected();
    made.audio->setVolume(server ? 1.0F : float(m_volume));
    made.audio->setMuted(!server && m_muted);
    // Without an audio output the GStreamer backend fails every stream.
    made.player->setAudioOutput(made.audio);
    if (m_videoSink) {
        made.frames = new QVideoSink(this);
        connect(made.frames, &QVideoSink::videoFrameChanged, this,
                [this, player = made.player](const QVideoFrame& frame) {
                    if (m_videoSink && player == m_load)
                        m_videoSink->setVideoFrame(frame);
                });
        made.player->setVideoOutput(made.frames);
    }
    made.player->setSource(QUrl(url, QUrl::TolerantMode));
    return made;
}

void QtMediaPlayer::drop(Load& load)
{
    // Deleted, not stopped: deleting a load is the one way out of it that asks the site for nothing.
    delete load.player;
    delete load.audio;
    delete load.frames;
    load = {};
}

void QtMediaPlayer::load()
{
    qCInfo(lcPlayback) << "load" << m_url << (m_resumeAt > 0 ? m_resumeAt : 0) << "ms";
    const Load made = makeLoad(m_url);
    m_audio = made.audio;
    m_frames = made.frames;
    follow(made.player);
    made.player->play();
    updateWatchdog();
}

void QtMediaPlayer::prepare(const QString& url)
{
    if (url == m_nextUrl)
        return;
    drop(m_next);
    m_nextUrl = url;
    if (url.isEmpty())
        return;
    qCInfo(lcPlayback) << "prepare" << url;
    m_next = makeLoad(url);
    m_nextClock.start();
    QMediaPlayer* player = m_next.player;
    // It plays a moment, silent, and holds. One paused before it ever played would count its wait
    // as time played and drop that much of its start when its turn came (GStreamer 1.22, Qt 6.4).
    m_next.audio->setMuted(true);
    connect(player, &QMediaPlayer::positionChanged, this, [this, player](qint64 ms) {
        if (ms <= 0 || player->playbackState() != QMediaPlayer::PlayingState)
            return;
        player->pause();
        qCInfo(lcPlayback) << "ready in" << m_nextClock.elapsed() << "ms, held at" << ms << "ms";
    });
    // One that fails is let go: its song is loaded anew when its turn comes.
    connect(player, &QMediaPlayer::errorOccurred, this, [this, player] {
        QTimer::singleShot(0, this, [this, player] {
            if (m_next.player == player)
                prepare({});
        });
    });
    player->play();
}

void QtMediaPlayer::wakeNext()
{
    m_next.player->disconnect(this);
    m_next.audio->setMuted(!m_stream->isConnected() && m_muted);
}

void QtMediaPlayer::playPrepared()
{
    beginSong();
    qCInfo(lcPlayback) << "play the song made ready" << m_url;
    wakeNext();
    Load next = std::exchange(m_next, {});
    m_nextUrl.clear();
    QMediaPlayer* player = next.player;
    m_audio = next.audio;
    m_frames = next.frames;
    follow(player);
    // What it learnt while it waited.
    if (player->duration() > 0) {
        m_duration = player->duration();
        Q_EMIT durationChanged(m_duration);
    }
    if (player->hasVideo())
        Q_EMIT hasVideoChanged(true);
    m_mediaTitle = player->metaData().stringValue(QMediaMetaData::Title);
    if (!m_mediaTitle.isEmpty())
        Q_EMIT mediaTitleChanged(m_mediaTitle);
    // Still in its first moment it reports no new play state: say it as it stands.
    const bool playing = player->playbackState() == QMediaPlayer::PlayingState;
    player->play();
    if (playing)
        onPlaybackState(QMediaPlayer::PlayingState);
    updateWatchdog();
}

void QtMediaPlayer::follow(QMediaPlayer* player)
{
    m_position = 0;
    m_load = player;
    connect(player, &QMediaPlayer::playbackStateChanged, this, &QtMediaPlayer::onPlaybackState);
    connect(player, &QMediaPlayer::mediaStatusChanged, this, &QtMediaPlayer::onMediaStatus);
    connect(player, &QMediaPlayer::errorOccurred, this, &QtMediaPlayer::onError);
    connect(player, &QMediaPlayer::bufferProgressChanged, this, &QtMediaPlayer::progressed);
    connect(player, &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
        resume();
        m_duration = ms;
        Q_EMIT durationChanged(ms);
    });
    connect(player, &QMediaPlayer::hasVideoChanged, this, &MediaPlayer::hasVideoChanged);
    connect(player, &QMediaPlayer::metaDataChanged, this, [this, player] {
        const QString title = player->metaData().stringValue(QMediaMetaData::Title);
        if (title == m_mediaTitle)
            return;
        m_mediaTitle = title;
        Q_EMIT mediaTitleChanged(title);
    });
    connect(player, &QMediaPlayer::positionChanged, this, &QtMediaPlayer::onPosition);
    connect(player, &QMediaPlayer::seekableChanged, this, &QtMediaPlayer::resume);
}

void QtMediaPlayer::unload(bool keepPosition, bool now)
{
    m_watchdog.stop();
    if (m_load) {
        const bool video = m_load->hasVideo();
        m_load->disconnect(this);
        // Later, unless asked: this may run inside one of the load's own signals.
        if (now)
            delete m_load;
        else
            m_load->deleteLater();
        m_load = nullptr;
        if (video)
            Q_EMIT hasVideoChanged(false);
    }
    // After the load, which does not let go of its outputs when it goes.
    if (m_audio) {
        m_audio->deleteLater();
        m_audio = nullptr;
    }
    if (m_frames) {
        m_frames->disconnect();
        m_frames->deleteLater();
        m_frames = nullptr;
    }
    if (keepPosition)
        return;
    m_resumeAt = -1;
    if (m_position != 0) {
        m_position = 0;
        Q_EMIT positionChanged(0);
    }
    // Whatever comes next (another song, one that fails) has not this song's length or title.
    if (std::exchange(m_duration, 0) != 0)
        Q_EMIT durationChanged(0);
    if (!std::exchange(m_mediaTitle, QString()).isEmpty())
        Q_EMIT mediaTitleChanged({});
}

void QtMediaPlayer::beginSong()
{
    unload();
    m_restartUsed = false;
    m_restartedAt = 0;
    m_states.loading();
}

void QtMediaPlayer::startSong()
{
    beginSong();
    load();
}

void QtMediaPlayer::setURL(const QString& url)
{
    m_url = url;
    if (m_next.player && url == m_nextUrl) {
        playPrepared();
        return;
    }
    prepare({});
    startSong();
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
    startSong();
}

void QtMediaPlayer::pause()
{
    if (m_load && m_load->playbackState() == QMediaPlayer::PlayingState)
        m_load->pause();
}

void QtMediaPlayer::stop()
{
    prepare({});
    unload();
    m_states.stopped();
}

qint64 QtMediaPlayer::position() const
{
    if (m_resumeAt >= 0)
        return m_resumeAt;
    return m_load ? m_load->position() : 0;
}

qint64 QtMediaPlayer::duration() const
{
    return m_load ? m_load->duration() : 0;
}

void QtMediaPlayer::setPosition(qint64 ms)
{
    if (!m_load)
        return;
    if (m_resumeAt >= 0)
        m_resumeAt = ms; // the restarted load goes there instead
    else
        m_load->setPosition(ms);
}

void QtMediaPlayer::setVolume(double volume)
{
    volume = qBound(0.0, volume, 1.0);
    if (volume == m_volume)
        return;
    m_volume = volume;
    if (m_stream->isConnected()) {
        m_stream->setVolume(volume);
    } else {
        for (QAudioOutput* audio : {m_audio, m_next.audio}) {
            if (audio)
                audio->setVolume(float(volume));
        }
    }
    Q_EMIT volumeChanged(volume);
}

void QtMediaPlayer::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    if (m_stream->isConnected())
        m_stream->setMuted(muted);
    else if (m_audio)
        m_audio->setMuted(muted); // the next song's is silent until its turn
    Q_EMIT mutedChanged(muted);
}

void QtMediaPlayer::setVideoSink(QVideoSink* sink)
{
    m_videoSink = sink;
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
    if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia)
        resume();
    m_states.mediaStatusChanged(status, m_load->playbackState());
}

void QtMediaPlayer::onPosition(qint64 ms)
{
    if (m_resumeAt >= 0) {
        // The restarted load reports its own start until it has gone where the song stood; a song
        // that cannot be sought plays on from its start.
        resume();
        if (m_resumeAt < 0 || ms == 0 || m_load->isSeekable())
            return;
        m_resumeAt = -1;
    }
    if (ms != m_position) {
        m_position = ms;
        progressed();
        if (m_restartUsed && ms >= m_restartedAt + m_restartRegainMs)
            m_restartUsed = false;
    }
    // The song made ready starts that long before this one's end, so that its first sound comes
    // out as this one's last does; the end itself is reported as always.
    if (m_next.player && m_duration > 0 && m_load->playbackState() == QMediaPlayer::PlayingState)
        m_nextStart.start(int(qMax<qint64>(0, m_duration - ms - kNextStartLeadMs)));
    Q_EMIT positionChanged(ms);
}

void QtMediaPlayer::resume()
{
    // A seek before the length is known ends before it starts.
    if (m_resumeAt < 0 || !m_load || !m_load->isSeekable() || m_load->duration() <= 0)
        return;
    const qint64 at = std::exchange(m_resumeAt, -1);
    m_load->setPosition(at);
}

void QtMediaPlayer::onError(QMediaPlayer::Error error)
{
    qCInfo(lcPlayback) << "player error" << error << (m_load ? m_load->errorString() : QString());
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
    const PlayState state = m_states.state();
    const bool watched = m_load && (state == Transitioning || state == Buffering || state == Playing);
    if (watched)
        m_watchdog.start();
    else
        m_watchdog.stop();
}

void QtMediaPlayer::stalled()
{
    const qint64 at = position();
    if (m_restartUsed) {
        qCInfo(lcPlayback) << "stalled again at" << at << "ms: the song fails";
        unload();
        m_states.errorOccurred(QMediaPlayer::NetworkError);
        return;
    }
    // Now: a stalled load takes up to a second to go (Qt waits for the state change it has pending),
    // and that second must not count against the new load.
    qCInfo(lcPlayback) << "stalled at" << at << "ms: loading anew";
    unload(true, true);
    m_restartUsed = true;
    ++m_restarts;
    m_restartedAt = at;
    m_resumeAt = at > 0 ? at : -1;
    m_states.restarting();
    load();
}

} // namespace melodrift
