#include "playback/playerstates.h"

#include "playback/mediaplayer.h"

namespace melodrift {

void PlayerStates::setState(MediaPlayer::PlayState state)
{
    if (state == m_state)
        return;
    m_state = state;
    if (onState)
        onState(state);
}

void PlayerStates::setStatus(const QString& status)
{
    m_reconnecting = false;
    if (status == m_status)
        return;
    m_status = status;
    if (onStatus)
        onStatus(status);
}

void PlayerStates::setProgressStatus(const QString& status)
{
    if (!m_reconnecting)
        setStatus(status);
}

void PlayerStates::begin(const QString& status)
{
    ++m_generation;
    m_failed = false;
    m_stopPending = false;
    setState(MediaPlayer::Transitioning);
    setStatus(status);
}

void PlayerStates::loading()
{
    begin(QStringLiteral("正在连接…"));
}

void PlayerStates::restarting()
{
    begin(QStringLiteral("正在重新连接…"));
    m_reconnecting = true;
}

void PlayerStates::stopped()
{
    ++m_generation;
    m_stopPending = false;
    setState(MediaPlayer::Stopped);
    setStatus(QStringLiteral("已停止"));
}

void PlayerStates::playbackStateChanged(QMediaPlayer::PlaybackState state, QMediaPlayer::MediaStatus status)
{
    if (m_failed)
        return;
    switch (state) {
    case QMediaPlayer::PlayingState:
        setState(MediaPlayer::Playing);
        if (status == QMediaPlayer::BufferedMedia || status == QMediaPlayer::LoadedMedia)
            setStatus(QStringLiteral("正在播放"));
        break;
    case QMediaPlayer::PausedState:
        setState(MediaPlayer::Paused);
        setStatus(QStringLiteral("已暂停"));
        break;
    case QMediaPlayer::StoppedState:
        if (status == QMediaPlayer::EndOfMedia)
            reportEnd();
        else
            m_stopPending = true; // the end of media may follow this stop at once
        break;
    }
}

void PlayerStates::settle()
{
    if (!m_stopPending)
        return;
    m_stopPending = false;
    setState(MediaPlayer::Stopped);
    setStatus(QStringLiteral("已停止"));
}

void PlayerStates::reportEnd()
{
    m_stopPending = false;
    const quint64 ended = m_generation;
    setState(MediaPlayer::MediaEnded);
    // A handler that gave a new address has started the next song; that one is not stopped.
    if (m_generation != ended)
        return;
    setState(MediaPlayer::Stopped);
    setStatus(QStringLiteral("播放完毕"));
}

void PlayerStates::mediaStatusChanged(QMediaPlayer::MediaStatus status, QMediaPlayer::PlaybackState state)
{
    if (m_failed)
        return;
    const bool playing = state == QMediaPlayer::PlayingState;
    switch (status) {
    case QMediaPlayer::LoadingMedia:
        setProgressStatus(QStringLiteral("正在连接…"));
        break;
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::StalledMedia:
        if (playing) {
            setState(MediaPlayer::Buffering);
            setProgressStatus(QStringLiteral("正在缓冲…"));
        }
        break;
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (playing) {
            setState(MediaPlayer::Playing);
            setStatus(QStringLiteral("正在播放"));
        }
        break;
    case QMediaPlayer::EndOfMedia:
        if (m_stopPending || state == QMediaPlayer::StoppedState)
            reportEnd();
        break;
    case QMediaPlayer::InvalidMedia:
    case QMediaPlayer::NoMedia:
        break;
    }
}

bool PlayerStates::errorOccurred(QMediaPlayer::Error error)
{
    // One failure arrives as several errors: the first one settles it.
    if (m_failed || error == QMediaPlayer::NoError)
        return false;
    m_failed = true;
    m_stopPending = false;
    QString reason;
    switch (error) {
    case QMediaPlayer::FormatError:
        reason = QStringLiteral("不支持的媒体格式");
        break;
    case QMediaPlayer::NetworkError:
        reason = QStringLiteral("网络错误");
        break;
    case QMediaPlayer::AccessDeniedError:
        reason = QStringLiteral("拒绝访问");
        break;
    default:
        reason = QStringLiteral("无法打开该地址");
        break;
    }
    setState(MediaPlayer::Ready);
    setStatus(u"出错：" + reason);
    return true;
}

} // namespace melodrift
