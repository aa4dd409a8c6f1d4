#include "playback/mpris.h"

#include "app/songlistbox.h"
#include "playback/mediaplayer.h"
#include "playback/playbackcommands.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QWidget>

namespace melodrift {

namespace {
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
} // namespace

QDBusObjectPath trackIdFor(const QString& songId)
{
    // Object path elements allow only [A-Za-z0-9_]; hex keeps every ID distinct.
    return QDBusObjectPath(u"/org/melodrift/track/t" + QString::fromLatin1(songId.toUtf8().toHex()));
}

MprisService::MprisService(MediaPlayer* player, PlaybackCommands* playback, SongListBox* list, QWidget* window,
                           QObject* parent)
    : QObject(parent), m_player(player), m_playback(playback), m_list(list), m_window(window)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    // Several copies may run at once: each takes a name of its own.
    const QString name =
        u"org.mpris.MediaPlayer2.melodrift.instance" + QString::number(QCoreApplication::applicationPid());
    if (!bus.registerObject(kObjectPath, this) || !bus.registerService(name)) {
        bus.unregisterObject(kObjectPath);
        return;
    }
    m_serviceName = name;
    m_lastStatus = playbackStatus();
    connect(m_player, &MediaPlayer::PlayStateChange, this, &MprisService::playStateChanged);
    connect(m_playback, &PlaybackCommands::songStarted, this, &MprisService::songStarted);
}

MprisService::~MprisService()
{
    if (m_serviceName.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(m_serviceName);
    bus.unregisterObject(kObjectPath);
}

QString MprisService::playbackStatus() const
{
    switch (m_player->playState()) {
    case MediaPlayer::Playing:
    case MediaPlayer::Buffering:
    case MediaPlayer::Transitioning:
        return QStringLiteral("Playing");
    case MediaPlayer::Paused:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

QVariantMap MprisService::metadata() const
{
    if (m_row < 1)
        return {{QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    const QString id = m_list->ItemId(m_row);
    return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(trackIdFor(id))},
            {QStringLiteral("xesam:title"), m_list->ItemTitle(m_row)},
            {QStringLiteral("xesam:url"), SongPageUrl(id)}};
}

bool MprisService::canGoNext() const
{
    return m_list->ListCount() >= 1;
}

void MprisService::playPause()
{
    if (playbackStatus() == u"Playing")
        pause();
    else
        play();
}

void MprisService::play()
{
    if (m_player->URL().isEmpty()) {
        // Nothing loaded yet: start the row that playback would start from.
        if (m_list->ListCount() >= 1)
            m_playback->PlaySong(qBound(1, m_playback->state().PlayRow, m_list->ListCount()));
        return;
    }
    m_player->play();
}

void MprisService::pause()
{
    m_player->pause();
}

void MprisService::stop()
{
    m_playback->WindowsMediaPlayer1_Click(0, 0, 0, 0);
    m_player->stop();
}

void MprisService::next()
{
    m_playback->advance();
}

void MprisService::raise()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void MprisService::quit()
{
    m_window->close();
}

void MprisService::playStateChanged()
{
    const QString status = playbackStatus();
    if (status == m_lastStatus)
        return;
    m_lastStatus = status;
    notify(kPlayerInterface, {{QStringLiteral("PlaybackStatus"), status}});
}

void MprisService::songStarted()
{
    m_row = m_playback->state().PlayRow;
    notify(kPlayerInterface, {{QStringLiteral("Metadata"), metadata()}, {QStringLiteral("CanGoNext"), canGoNext()}});
}

void MprisService::notify(const QString& interface, const QVariantMap& changed)
{
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << interface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

MprisRootAdaptor::MprisRootAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), m_service(service) {}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), m_service(service) {}

double MprisPlayerAdaptor::volume() const
{
    return m_service->player()->volume();
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    m_service->player()->setVolume(volume);
}

qlonglong MprisPlayerAdaptor::position() const
{
    return m_service->player()->position() * 1000;
}

} // namespace melodrift
