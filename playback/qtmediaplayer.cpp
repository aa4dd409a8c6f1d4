#include "playback/qtmediaplayer.h"

#include "app/songlistbox.h"

#include <QAudioOutput>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace melodrift {

QString formatTime(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QtMediaPlayer::QtMediaPlayer(QWidget* parent)
    : MediaPlayer(parent), m_player(new QMediaPlayer(this)), m_audio(new QAudioOutput(this)),
      m_video(new QVideoWidget(this)), m_screen(new QLabel(this)), m_playPause(new QToolButton(this)),
      m_stop(new QToolButton(this)), m_mute(new QToolButton(this)), m_seek(new QSlider(Qt::Horizontal, this)),
      m_volume(new QSlider(Qt::Horizontal, this)), m_time(new QLabel(this))
{
    setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    setContextMenuPolicy(Qt::NoContextMenu);
    // Without an audio output the GStreamer backend fails every stream.
    m_player->setAudioOutput(m_audio);
    m_player->setVideoOutput(m_video);
    m_audio->setVolume(0.5f);

    m_screen->setObjectName(QStringLiteral("screen"));
    m_screen->setTextFormat(Qt::PlainText);
    m_screen->setAlignment(Qt::AlignCenter);
    m_screen->setAutoFillBackground(true);
    m_video->hide();

    m_playPause->setObjectName(QStringLiteral("playPause"));
    m_playPause->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_playPause->setToolTip(QStringLiteral("播放/暂停"));
    m_stop->setObjectName(QStringLiteral("stop"));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stop->setToolTip(QStringLiteral("停止"));
    m_mute->setObjectName(QStringLiteral("mute"));
    m_mute->setCheckable(true);
    m_mute->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    m_mute->setToolTip(QStringLiteral("静音"));
    m_seek->setObjectName(QStringLiteral("seek"));
    m_seek->setRange(0, 0);
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setValue(50);
    m_volume->setFixedWidth(70);
    m_time->setObjectName(QStringLiteral("time"));
    m_time->setTextFormat(Qt::PlainText);
    m_time->setText(formatTime(0) + u" / " + formatTime(0));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(2);
    bar->addWidget(m_playPause);
    bar->addWidget(m_stop);
    bar->addWidget(m_seek, 1);
    bar->addWidget(m_time);
    bar->addWidget(m_mute);
    bar->addWidget(m_volume);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addWidget(m_screen, 1);
    column->addWidget(m_video, 1);
    column->addLayout(bar);

    connect(m_playPause, &QToolButton::clicked, this, [this] {
        if (m_player->playbackState() == QMediaPlayer::PlayingState)
            m_player->pause();
        else
            play();
    });
    connect(m_stop, &QToolButton::clicked, this, &QtMediaPlayer::stop);
    connect(m_mute, &QToolButton::toggled, this, [this](bool muted) {
        m_audio->setMuted(muted);
        m_mute->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    });
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) { m_audio->setVolume(float(value) / 100.0f); });
    connect(m_seek, &QSlider::sliderReleased, this, [this] { m_player->setPosition(qint64(m_seek->value()) * 100); });
    connect(m_player, &QMediaPlayer::positionChanged, this, [this] { updateTime(); });
    connect(m_player, &QMediaPlayer::durationChanged, this, [this] { updateTime(); });
    connect(m_player, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
        m_video->setVisible(video);
        m_screen->setVisible(!video);
    });
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, &QtMediaPlayer::onPlaybackStateChanged);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &QtMediaPlayer::onMediaStatusChanged);
    connect(m_player, &QMediaPlayer::errorOccurred, this, &QtMediaPlayer::onError);

    watchForClicks(this);
}

QtMediaPlayer::~QtMediaPlayer()
{
    // Stop the pipeline before the outputs go away.
    m_player->disconnect(this);
    m_player->stop();
}

void QtMediaPlayer::watchForClicks(QWidget* widget)
{
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool QtMediaPlayer::eventFilter(QObject* watched, QEvent* event)
{
    // The press reaches the program before the pressed control acts on it.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF p = mapFromGlobal(mouse->globalPosition());
        Q_EMIT Click(vbButton(mouse->button()), vbShift(mouse->modifiers()), float(p.x()), float(p.y()));
    }
    return MediaPlayer::eventFilter(watched, event);
}

void QtMediaPlayer::setURL(const QString& url)
{
    m_url = url;
    m_failed = false;
    m_stopPending = false;
    // The same address again would be ignored: clear the source first.
    m_player->setSource(QUrl());
    m_player->setSource(QUrl(url, QUrl::TolerantMode));
    setState(Transitioning);
    setStatus(QStringLiteral("正在连接…"));
    m_player->play();
}

void QtMediaPlayer::play()
{
    if (m_url.isEmpty())
        return;
    m_failed = false;
    m_player->play();
}

void QtMediaPlayer::pause()
{
    m_player->pause();
}

void QtMediaPlayer::stop()
{
    m_stopPending = false;
    m_player->stop();
}

qint64 QtMediaPlayer::position() const
{
    return m_player->position();
}

double QtMediaPlayer::volume() const
{
    return m_volume->value() / 100.0;
}

void QtMediaPlayer::setVolume(double volume)
{
    m_volume->setValue(qRound(qBound(0.0, volume, 1.0) * 100));
}

void QtMediaPlayer::setEnableContextMenu(bool enable)
{
    setContextMenuPolicy(enable ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

void QtMediaPlayer::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_playPause->setIcon(style()->standardIcon(state == Playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    Q_EMIT PlayStateChange(state);
}

void QtMediaPlayer::setStatus(const QString& status)
{
    m_screen->setText(status);
    if (status == m_status)
        return;
    m_status = status;
    Q_EMIT StatusChange();
}

void QtMediaPlayer::onPlaybackStateChanged(QMediaPlayer::PlaybackState state)
{
    if (m_failed)
        return;
    switch (state) {
    case QMediaPlayer::PlayingState:
        setState(Playing);
        if (m_player->mediaStatus() == QMediaPlayer::BufferedMedia ||
            m_player->mediaStatus() == QMediaPlayer::LoadedMedia)
            setStatus(QStringLiteral("正在播放"));
        break;
    case QMediaPlayer::PausedState:
        setState(Paused);
        setStatus(QStringLiteral("已暂停"));
        break;
    case QMediaPlayer::StoppedState:
        if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia) {
            reportEnd();
        } else {
            // The end of media may follow this stop at once; decide once it had its chance.
            m_stopPending = true;
            QTimer::singleShot(0, this, &QtMediaPlayer::flushStop);
        }
        break;
    }
}

void QtMediaPlayer::flushStop()
{
    if (!m_stopPending)
        return;
    m_stopPending = false;
    setState(Stopped);
    setStatus(QStringLiteral("已停止"));
}

void QtMediaPlayer::reportEnd()
{
    m_stopPending = false;
    const QString endedUrl = m_url;
    m_seek->setValue(0);
    setState(MediaEnded);
    // A handler that gave a new address has started the next song; that one is not stopped.
    if (m_url != endedUrl)
        return;
    setState(Stopped);
    setStatus(QStringLiteral("播放完毕"));
}

void QtMediaPlayer::onMediaStatusChanged(QMediaPlayer::MediaStatus status)
{
    if (m_failed)
        return;
    switch (status) {
    case QMediaPlayer::LoadingMedia:
        setStatus(QStringLiteral("正在连接…"));
        break;
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::StalledMedia:
        if (m_player->playbackState() == QMediaPlayer::PlayingState) {
            setState(Buffering);
            setStatus(QStringLiteral("正在缓冲…"));
        }
        break;
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (m_player->playbackState() == QMediaPlayer::PlayingState) {
            setState(Playing);
            setStatus(QStringLiteral("正在播放"));
        }
        break;
    case QMediaPlayer::EndOfMedia:
        if (m_stopPending || m_player->playbackState() == QMediaPlayer::StoppedState)
            reportEnd();
        break;
    case QMediaPlayer::InvalidMedia:
    case QMediaPlayer::NoMedia:
        break;
    }
}

void QtMediaPlayer::onError(QMediaPlayer::Error error)
{
    // One failure arrives as several errors: the first one settles it.
    if (m_failed || error == QMediaPlayer::NoError)
        return;
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
    m_player->stop();
    setState(Ready);
    setStatus(u"出错：" + reason);
}

void QtMediaPlayer::updateTime()
{
    const qint64 duration = m_player->duration();
    const qint64 position = m_player->position();
    m_seek->setMaximum(static_cast<int>(duration / 100));
    // Leave the slider to the person while they drag it.
    if (!m_seek->isSliderDown())
        m_seek->setValue(static_cast<int>(position / 100));
    m_time->setText(formatTime(position) + u" / " + formatTime(duration));
}

} // namespace melodrift
