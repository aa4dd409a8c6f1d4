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

void PlayerStates::setStatus(PlayerStatus::Kind kind, QMediaPlayer::Error error)
{
    m_reconnecting = false;
    const PlayerStatus status{kind, error};
    if (status == m_status)
        return;
    m_status = status;
    if (onStatus)
        onStatus(status);
}

void PlayerStates::setProgressStatus(PlayerStatus::Kind kind)
{
    if (!m_reconnecting)
        setStatus(kind);
}

void PlayerStates::begin(PlayerStatus::Kind kind)
{
    ++m_generation;
    m_failed = false;
    m_stopPending = false;
    setState(MediaPlayer::Transitioning);
    setStatus(kind);
}

void PlayerStates::loading()
{
    begin(PlayerStatus::Connecting);
}

void PlayerStates::restarting()
{
    begin(PlayerStatus::Reconnecting);
    m_reconnecting = true;
}

void PlayerStates::stopped()
{
    ++m_generation;
    m_stopPending = false;
    setState(MediaPlayer::Stopped);
    setStatus(PlayerStatus::Stopped);
}

void PlayerStates::playbackStateChanged(QMediaPlayer::PlaybackState state, QMediaPlayer::MediaStatus status)
{
    if (m_failed)
        return;
    switch (state) {
    case QMediaPlayer::PlayingState:
        setState(MediaPlayer::Playing);
        if (status == QMediaPlayer::BufferedMedia || status == QMediaPlayer::LoadedMedia)
            setStatus(PlayerStatus::Playing);
        break;
    case QMediaPlayer::PausedState:
        setState(MediaPlayer::Paused);
        setStatus(PlayerStatus::Paused);
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
    setStatus(PlayerStatus::Stopped);
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
    setStatus(PlayerStatus::Ended);
}

void PlayerStates::mediaStatusChanged(QMediaPlayer::MediaStatus status, QMediaPlayer::PlaybackState state)
{
    if (m_failed)
        return;
    const bool playing = state == QMediaPlayer::PlayingState;
    switch (status) {
    case QMediaPlayer::LoadingMedia:
        setProgressStatus(PlayerStatus::Connecting);
        break;
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::StalledMedia:
        if (playing) {
            setState(MediaPlayer::Buffering);
            setProgressStatus(PlayerStatus::Buffering);
        }
        break;
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (playing) {
            setState(MediaPlayer::Playing);
            setStatus(PlayerStatus::Playing);
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
    setState(MediaPlayer::Ready);
    setStatus(PlayerStatus::Failed, error);
    return true;
}

} // namespace melodrift
