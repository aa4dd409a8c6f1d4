// Runs on a session bus of its own (dbus-run-session); calls go through the bus from a second
// connection, as a desktop panel's would.
#include "controls/songlistbox.h"
#include "net/musicsite.h"
#include "playback/mpris.h"
#include "playback/playbackcommands.h"
#include "tests/support/fakes.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QSignalSpy>
#include <QTest>

using namespace melodrift;

class TestMpris : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestWindow> m_w;
    QDBusConnection m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));

    QString service() const
    {
        return u"org.mpris.MediaPlayer2.melodrift.instance" + QString::number(QCoreApplication::applicationPid());
    }
    QVariant property(const QString& interface, const QString& name)
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(service(), QStringLiteral("/org/mpris/MediaPlayer2"),
                                           QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        call << interface << name;
        QDBusPendingReply<QDBusVariant> reply = m_client.asyncCall(call);
        if (!QTest::qWaitFor([&] { return reply.isFinished(); }, 5000) || reply.isError())
            return {};
        return reply.value().variant();
    }
    QVariant player(const QString& name) { return property(QStringLiteral("org.mpris.MediaPlayer2.Player"), name); }
    void call(const QString& interface, const QString& method)
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(service(), QStringLiteral("/org/mpris/MediaPlayer2"), interface, method);
        QDBusPendingCall pending = m_client.asyncCall(message);
        QVERIFY(QTest::qWaitFor([&] { return pending.isFinished(); }, 5000));
        QVERIFY2(!pending.isError(), qPrintable(pending.error().message()));
    }
    void callPlayer(const QString& method) { call(QStringLiteral("org.mpris.MediaPlayer2.Player"), method); }
    test::FakePlayer& fake() { return *m_w->player; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_client.isConnected(), "no session bus: run under dbus-run-session");
        QVERIFY(m_client.connect(service(), QStringLiteral("/org/mpris/MediaPlayer2"),
                                 QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                                 this, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    }
    void init()
    {
        m_changed.clear();
        m_w = std::make_unique<test::TestWindow>();
        for (int i = 1; i <= 3; ++i)
            m_w->window->QMListBox1()->AddItem(QStringLiteral("Song %1").arg(i), QStringLiteral("10%1").arg(i),
                                               QStringLiteral("10%1").arg(i), 0);
    }
    void cleanup() { m_w.reset(); }

    void nameAppearsWithIdentity()
    {
        QCOMPARE(m_w->window->mpris()->serviceName(), service());
        QVERIFY(m_client.interface()->isServiceRegistered(service()));
        QCOMPARE(property(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Identity")).toString(),
                 QStringLiteral("Melodrift"));
        QCOMPARE(player(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));
        QCOMPARE(player(QStringLiteral("CanGoNext")).toBool(), true);
        m_w.reset();
        QTRY_VERIFY(!m_client.interface()->isServiceRegistered(service()));
    }

    void propertiesFollowPlayback()
    {
        m_w->window->playback()->PlaySong(2);
        fake().report(MediaPlayer::Playing);
        QCOMPARE(player(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
        const QVariantMap metadata = qdbus_cast<QVariantMap>(player(QStringLiteral("Metadata")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Song 2"));
        QCOMPARE(metadata.value(QStringLiteral("xesam:url")).toString(), SongPageUrl(QStringLiteral("102")));
        QCOMPARE(qdbus_cast<QDBusObjectPath>(metadata.value(QStringLiteral("mpris:trackid"))),
                 trackIdFor(QStringLiteral("102")));
        QTRY_VERIFY(m_changed.contains(QStringLiteral("PlaybackStatus=Playing")));
        QVERIFY(m_changed.contains(QStringLiteral("Metadata")));
        fake().report(MediaPlayer::Paused);
        QCOMPARE(player(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Paused"));
        QTRY_VERIFY(m_changed.contains(QStringLiteral("PlaybackStatus=Paused")));
        fake().setVolume(0.3); // as the mixer or the slider moves it
        QTRY_VERIFY(m_changed.contains(QStringLiteral("Volume")));
    }

    // An automatic advance passes through "media ended" to the next song: a panel sees no stop.
    void playbackStatusStaysPlayingAcrossAnAdvance()
    {
        m_changed.clear();
        m_w->window->playback()->PlaySong(1);
        fake().report(MediaPlayer::Playing);
        QTRY_VERIFY(m_changed.contains(QStringLiteral("PlaybackStatus=Playing")));
        fake().reportEnd(); // media ended; the advance gives row 2
        fake().report(MediaPlayer::Playing);
        QCOMPARE(fake().urls.last(), SongPageUrl(QStringLiteral("102")));
        QTest::qWait(300);
        QVERIFY(!m_changed.contains(QStringLiteral("PlaybackStatus=Stopped")));
        QCOMPARE(player(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
        // With no row left to play the player really stops, and the panel is told.
        m_w->window->QMListBox1()->Clear();
        fake().reportEnd();
        QTRY_VERIFY(m_changed.contains(QStringLiteral("PlaybackStatus=Stopped")));
    }

    void methodsActOnThePlayer()
    {
        m_w->window->playback()->PlaySong(1);
        fake().report(MediaPlayer::Playing);
        callPlayer(QStringLiteral("PlayPause"));
        QCOMPARE(fake().pauseCalls, 1);
        fake().report(MediaPlayer::Paused);
        callPlayer(QStringLiteral("PlayPause"));
        QCOMPARE(fake().playCalls, 1);
        callPlayer(QStringLiteral("Play"));
        QCOMPARE(fake().playCalls, 2);
        callPlayer(QStringLiteral("Pause"));
        QCOMPARE(fake().pauseCalls, 2);
        // Stop also disarms the re-play (tst_continuousplay: the stop then holds).
        callPlayer(QStringLiteral("Stop"));
        QCOMPARE(fake().stopCalls, 1);
        QCOMPARE(m_w->window->playbackState().AutoPlayState, AutoPlay::Disarmed);
    }

    void nextAdvancesByThePlayModeLikeASongsEnd()
    {
        m_w->window->playback()->PlaySong(3);
        callPlayer(QStringLiteral("Next"));
        // Loop the list: after the last row comes the first, armed as by an automatic advance.
        QCOMPARE(m_w->window->playbackState().PlayRow, 1);
        QCOMPARE(fake().urls.last(), SongPageUrl(QStringLiteral("101")));
        QCOMPARE(m_w->window->playbackState().AutoPlayState, AutoPlay::Armed);
    }

    void playWithNothingLoadedStartsTheList()
    {
        callPlayer(QStringLiteral("Play"));
        QCOMPARE(fake().urls, {SongPageUrl(QStringLiteral("101"))});
    }

    void raiseShowsTheWindow()
    {
        QVERIFY(!m_w->window->isVisible());
        call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Raise"));
        QVERIFY(m_w->window->isVisible());
    }

public Q_SLOTS:
    void propertiesChanged(const QString&, const QVariantMap& changed, const QStringList&)
    {
        for (auto it = changed.begin(); it != changed.end(); ++it) {
            if (it.key() == u"PlaybackStatus")
                m_changed.append(u"PlaybackStatus=" + it.value().toString());
            else
                m_changed.append(it.key());
        }
    }

private:
    QStringList m_changed;
};

QTEST_MAIN(TestMpris)
#include "tst_mpris.moc"
