#include "playback/mpris.h"

#include "net/musicsite.h"
#include "playback/mediaplayer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

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

MprisService::MprisService(MediaPlayer* player, std::function<int()> listCount, QObject* parent)
    : QObject(parent), m_player(player), m_listCount(std::move(listCount))
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
    // Looked at once the player's events are over: an automatic advance passes through "media
    // ended" on its way to the next song, and a desktop panel should not see it stop in between.
    connect(m_player, &MediaPlayer::PlayStateChange, this, &MprisService::playStateChanged, Qt::QueuedConnection);
    // The slider, the desktop's mixer and MPRIS move one volume; panels hear of each change.
    connect(m_player, &MediaPlayer::volumeChanged, this, [this](double volume) {
        notify(kPlayerInterface, {{QStringLiteral("Volume"), volume}});
    });
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
    if (!m_hasSong)
        return {{QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(trackIdFor(m_songId))},
            {QStringLiteral("xesam:title"), m_songTitle},
            {QStringLiteral("xesam:url"), SongPageUrl(m_songId)}};
}

bool MprisService::canGoNext() const
{
    return m_listCount() >= 1;
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
        Q_EMIT playRequested();
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
    Q_EMIT stopRequested();
}

void MprisService::next()
{
    Q_EMIT nextRequested();
}

void MprisService::raise()
{
    Q_EMIT raiseRequested();
}

void MprisService::quit()
{
    Q_EMIT quitRequested();
}

void MprisService::playStateChanged()
{
    const QString status = playbackStatus();
    if (status == m_lastStatus)
        return;
    m_lastStatus = status;
    notify(kPlayerInterface, {{QStringLiteral("PlaybackStatus"), status}});
}

void MprisService::songStarted(int, const QString& id, const QString& title)
{
    m_hasSong = true;
    m_songId = id;
    m_songTitle = title;
    if (m_serviceName.isEmpty())
        return;
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
