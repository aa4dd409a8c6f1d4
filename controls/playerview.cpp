#include "controls/playerview.h"

#include "controls/vbmouse.h"

#include <QChildEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace melodrift {

namespace {

//! A left press on the position bar goes where it is pressed, as media players do; the base style
//! would move it a page.
class JumpToClickStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

QString formatTime(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

PlayerView::PlayerView(QWidget* parent)
    : QWidget(parent), m_screen(new QLabel(this)), m_video(new QVideoWidget(this)), m_playPause(new QToolButton(this)),
      m_stop(new QToolButton(this)), m_mute(new QToolButton(this)), m_seek(new QSlider(Qt::Horizontal, this)),
      m_time(new QLabel(this)), m_volume(new QSlider(Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    setAccessibleName(QStringLiteral("播放器"));
    setContextMenuPolicy(Qt::NoContextMenu);

    m_screen->setObjectName(QStringLiteral("screen"));
    m_screen->setTextFormat(Qt::PlainText);
    m_screen->setAlignment(Qt::AlignCenter);
    m_screen->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // a long title never widens it
    m_screen->setAutoFillBackground(true);
    m_video->hide();

    m_playPause->setObjectName(QStringLiteral("playPause"));
    m_playPause->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_playPause->setToolTip(QStringLiteral("播放/暂停"));
    m_playPause->setAccessibleName(QStringLiteral("播放"));
    m_stop->setObjectName(QStringLiteral("stop"));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stop->setToolTip(QStringLiteral("停止"));
    m_stop->setAccessibleName(QStringLiteral("停止"));
    m_mute->setObjectName(QStringLiteral("mute"));
    m_mute->setCheckable(true);
    m_mute->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    m_mute->setToolTip(QStringLiteral("静音"));
    m_mute->setAccessibleName(QStringLiteral("静音"));
    m_seek->setObjectName(QStringLiteral("seek"));
    auto* jumpStyle = new JumpToClickStyle;
    jumpStyle->setParent(m_seek);
    m_seek->setStyle(jumpStyle);
    m_seek->setRange(0, 0);
    m_seek->setAccessibleName(QStringLiteral("进度"));
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setValue(50);
    m_volume->setFixedWidth(70);
    m_volume->setAccessibleName(QStringLiteral("音量"));
    m_time->setObjectName(QStringLiteral("time"));
    m_time->setTextFormat(Qt::PlainText);
    m_time->setAccessibleName(QStringLiteral("时间"));
    updateTime();

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

    // A button worked by key or by a screen reader is the person acting on the player too: it
    // raises Click as a mouse press does, before the button acts.
    connect(m_mute, &QToolButton::clicked, this, [this] { clickedWithoutPointer(m_mute); });
    connect(m_playPause, &QToolButton::clicked, this, [this] {
        clickedWithoutPointer(m_playPause);
        Q_EMIT playPauseClicked();
    });
    connect(m_stop, &QToolButton::clicked, this, [this] {
        clickedWithoutPointer(m_stop);
        Q_EMIT stopClicked();
    });
    connect(m_mute, &QToolButton::toggled, this, [this](bool muted) {
        m_mute->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
        Q_EMIT mutedChanged(muted);
    });
    connect(m_volume, &QSlider::valueChanged, this, [this] { Q_EMIT volumeChanged(volume()); });
    connect(m_volume, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove && action != QAbstractSlider::SliderNoAction)
            clickedWithoutPointer(m_volume);
    });
    // While the length is unknown there is nowhere to go: the slider would say 0.
    connect(m_seek, &QSlider::sliderReleased, this, [this] {
        if (m_duration > 0)
            Q_EMIT seekRequested(qint64(m_seek->value()) * 100);
    });
    // The keyboard (arrows, Page Up/Down, Home, End) and the wheel seek at once; a drag on release.
    connect(m_seek, &QSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction)
            return;
        clickedWithoutPointer(m_seek);
        if (m_duration > 0)
            Q_EMIT seekRequested(qint64(m_seek->sliderPosition()) * 100);
    });

    watch(this);
}

void PlayerView::watch(QWidget* widget)
{
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool PlayerView::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A press that a child ignores travels on to its parents as a copy with the same time stamp;
        // report it the first time only. (The second press of a double-click arrives as DblClick.)
        auto* mouse = static_cast<QMouseEvent*>(event);
        const quint64 key = (mouse->timestamp() << 8) ^ (quint64(mouse->button()) << 1) ^ quint64(event->type());
        if (key != m_lastPress) {
            m_lastPress = key;
            m_pointerActing = true;
            const QPointF p = mapFromGlobal(mouse->globalPosition());
            Q_EMIT Click(vbButton(mouse->button()), vbShift(mouse->modifiers()), float(p.x()), float(p.y()));
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        // The release still belongs to the press: the button's click comes inside it.
        QTimer::singleShot(0, this, [this] { m_pointerActing = false; });
        break;
    case QEvent::ChildAdded:
        // Widgets that the video output makes later are watched too.
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            watch(child);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PlayerView::clickedWithoutPointer(QWidget* control)
{
    // The pointer's act was reported at its press.
    if (m_pointerActing)
        return;
    const QPointF p = control->geometry().center();
    Q_EMIT Click(0, 0, float(p.x()), float(p.y()));
}

void PlayerView::setVideoShown(bool video)
{
    m_video->setVisible(video);
    m_screen->setVisible(!video);
}

void PlayerView::setPlaying(bool playing)
{
    if (playing == m_playing)
        return;
    m_playing = playing;
    m_playPause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_playPause->setAccessibleName(playing ? QStringLiteral("暂停") : QStringLiteral("播放"));
}

void PlayerView::setStatusText(const QString& text)
{
    m_status = text;
    updateScreen();
}

void PlayerView::setSongTitle(const QString& title)
{
    m_title = title;
    updateScreen();
}

void PlayerView::updateScreen()
{
    QString title = m_title;
    for (QChar& c : title) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    title = m_screen->fontMetrics().elidedText(title.simplified(), Qt::ElideRight, width() - 12);
    m_screen->setText(title.isEmpty() ? m_status : m_status + u'\n' + title);
}

QList<QWidget*> PlayerView::focusableControls() const
{
    // As the bar shows them, left to right.
    return {m_playPause, m_stop, m_seek, m_mute, m_volume};
}

QString PlayerView::statusText() const
{
    return m_status;
}

void PlayerView::setDuration(qint64 ms)
{
    m_duration = ms;
    m_seek->setMaximum(static_cast<int>(ms / 100));
    updateTime();
}

void PlayerView::setPosition(qint64 ms)
{
    m_position = ms;
    // Leave the slider to the person while they drag it.
    if (!m_seek->isSliderDown())
        m_seek->setValue(static_cast<int>(ms / 100));
    updateTime();
}

void PlayerView::updateTime()
{
    m_time->setText(formatTime(m_position) + u" / " + formatTime(m_duration));
}

double PlayerView::volume() const
{
    return m_volume->value() / 100.0;
}

void PlayerView::setVolume(double volume)
{
    m_volume->setValue(qRound(qBound(0.0, volume, 1.0) * 100));
}

bool PlayerView::isMuted() const
{
    return m_mute->isChecked();
}

void PlayerView::setMuted(bool muted)
{
    m_mute->setChecked(muted);
}

void PlayerView::setEnableContextMenu(bool enable)
{
    setContextMenuPolicy(enable ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

} // namespace melodrift
