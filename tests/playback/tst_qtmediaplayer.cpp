// The real player against the demo site: what the site sees and what the player reports. Songs
// last minutes and are still downloading when they are left, as a person's are.
#include "playback/qtmediaplayer.h"
#include "site/demosite.h"
#include "site/mp3tone.h"
#include "tests/support/siteproxy.h"

#include <QTest>
#include <QVideoSink>

#include <functional>

using namespace melodrift;

namespace {

const QString kSite = QStringLiteral("http://www.melodrift-music.example");

QString page(const QString& id)
{
    return kSite + u"/mp3.asp?id=" + id;
}

QString audio(const QString& id)
{
    return kSite + u"/audio/" + id + u".mp3";
}

//! Where the audio of second `s` starts in a song's file (its ID3v2 tag is about 100 bytes).
qint64 byteAt(double s)
{
    return qint64(s * site::kMp3BytesPerSecond) + 100;
}

//! The play states a player reports, in order.
struct StateLog {
    explicit StateLog(MediaPlayer& player)
    {
        QObject::connect(&player, &MediaPlayer::PlayStateChange, &player, [this](int state) { states.append(state); });
    }
    QList<int> states;
};

enum class Leave { Another, Same, Stop, StopThenPlay, PauseThenAnother, Destroy };

} // namespace
Q_DECLARE_METATYPE(Leave)

class TestQtMediaPlayer : public test::SiteSuite {
    Q_OBJECT

    QVideoSink m_screen; // where the view's video would go

    static bool playing(const QtMediaPlayer& player) { return player.playState() == MediaPlayer::Playing; }

private Q_SLOTS:
    void init()
    {
        m_site.clearRequests();
        m_site.setSongMilliseconds(0);
        m_site.setSendRate(site::DemoSite::kDefaultSendRate);
    }

    // Every play costs the site one song page and its file, nothing else, however the song is left
    // while it still downloads: a song left is never asked for again, and a new address (another or
    // the same) is never reported stopped.
    void aSongLeftIsNeverAskedForAgain_data()
    {
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<QStringList>("plays"); // the songs the site is to see, in order
        const QString a = QStringLiteral("100001");
        const QString b = QStringLiteral("100002");
        QTest::newRow("another song") << Leave::Another << QStringList{a, b};
        QTest::newRow("the same song again") << Leave::Same << QStringList{a, a};
        QTest::newRow("stop") << Leave::Stop << QStringList{a};
        QTest::newRow("stop, then play from the start") << Leave::StopThenPlay << QStringList{a, a};
        QTest::newRow("pause, then another song") << Leave::PauseThenAnother << QStringList{a, b};
        QTest::newRow("the player closed") << Leave::Destroy << QStringList{a};
    }
    void aSongLeftIsNeverAskedForAgain()
    {
        QFETCH(Leave, leave);
        QFETCH(QStringList, plays);
        auto player = std::make_unique<QtMediaPlayer>();
        player->setVideoSink(&m_screen);
        StateLog log(*player);
        QList<qint64> lengths;
        connect(player.get(), &MediaPlayer::durationChanged, this, [&](qint64 ms) { lengths.append(ms); });
        player->setURL(page(plays.first()));
        QTRY_VERIFY_WITH_TIMEOUT(playing(*player) && player->position() > 1500, 20000);
        QVERIFY(player->duration() > 120'000);                           // minutes long, and far from downloaded
        QCOMPARE(player->mediaTitle(), site::catalogue().first().title); // its ID3 title
        const qsizetype left = log.states.size();
        const qsizetype lengthsLeft = lengths.size();
        switch (leave) {
        case Leave::Another:
        case Leave::Same:
            player->setURL(page(plays.last()));
            break;
        case Leave::Stop:
            player->stop();
            break;
        case Leave::StopThenPlay:
            player->stop();
            player->play();
            break;
        case Leave::PauseThenAnother:
            player->pause();
            QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(MediaPlayer::Paused), 5000);
            player->setURL(page(plays.last()));
            break;
        case Leave::Destroy:
            player.reset();
            break;
        }
        if (plays.size() > 1)
            QTRY_VERIFY_WITH_TIMEOUT(playing(*player) && player->position() > 500, 20000);
        QTest::qWait(1500); // a stray request comes within milliseconds of the switch
        QStringList expected;
        for (const QString& id : plays)
            expected << page(id) << audio(id);
        QCOMPARE(m_site.requests(), expected);
        if (leave != Leave::Destroy) // the song left takes its length with it
            QCOMPARE(lengths.value(lengthsLeft, -1), 0);
        if (leave == Leave::Another || leave == Leave::Same) {
            QCOMPARE(log.states.value(left), int(MediaPlayer::Transitioning));
            QVERIFY(!log.states.mid(left).contains(MediaPlayer::Stopped));
        }
    }

    // A new address given by a handler of the song's end, as the automatic advance gives it: the
    // end is reported as the design has it (media ended, then stopped) for the last song only.
    // Made ready while the first plays, the next asks for its page and file before the end, once.
    void theNextSongAtTheEndAsksOnce_data()
    {
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("ready");
        QTest::newRow("another song") << QStringLiteral("100002") << false;
        QTest::newRow("another song made ready") << QStringLiteral("100002") << true;
        QTest::newRow("the same song made ready") << QStringLiteral("100001") << true;
    }
    void theNextSongAtTheEndAsksOnce()
    {
        QFETCH(QString, next);
        QFETCH(bool, ready);
        m_site.setSongMilliseconds(800);
        QtMediaPlayer player;
        StateLog log(player);
        QList<PlayerStatus::Kind> statuses;
        connect(&player, &MediaPlayer::StatusChange, this, [&] { statuses.append(player.status().kind); });
        qsizetype switched = -1;
        connect(&player, &MediaPlayer::PlayStateChange, this, [&](int state) {
            if (state == MediaPlayer::MediaEnded && switched < 0) {
                switched = log.states.size();
                QCOMPARE(m_site.requests().size(), ready ? 4 : 2);
                player.setURL(page(next));
            }
        });
        player.setURL(page(QStringLiteral("100001")));
        if (ready) {
            QTRY_VERIFY_WITH_TIMEOUT(player.position() > 0, 20000);
            player.prepare(page(next));
        }
        QTRY_VERIFY_WITH_TIMEOUT(switched >= 0, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(log.states.mid(switched).contains(MediaPlayer::MediaEnded), 20000);
        QTest::qWait(300);
        QCOMPARE(m_site.requests(), (QStringList{page(QStringLiteral("100001")), audio(QStringLiteral("100001")),
                                                 page(next), audio(next)}));
        const QList<int> second = log.states.mid(switched);
        QCOMPARE(second.value(0), int(MediaPlayer::Transitioning));
        QVERIFY(second.contains(MediaPlayer::Playing));
        QCOMPARE(second.mid(second.size() - 2), (QList<int>{MediaPlayer::MediaEnded, MediaPlayer::Stopped}));
        QCOMPARE(log.states.count(MediaPlayer::Stopped), 1); // the very last song's end only
        // Buffering may come and go while it plays; it starts connecting and ends finished.
        QCOMPARE(statuses.first(), PlayerStatus::Connecting);
        QVERIFY(statuses.contains(PlayerStatus::Playing));
        QCOMPARE(statuses.last(), PlayerStatus::Ended);
    }

    void pauseHoldsAndPlayGoesOn()
    {
        QtMediaPlayer player;
        player.setStallTimeout(1000); // a pause is no stall
        player.setURL(page(QStringLiteral("100003")));
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > 300, 20000);
        player.pause();
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Paused), 5000);
        QCOMPARE(player.status().kind, PlayerStatus::Paused);
        const qint64 at = player.position();
        QTest::qWait(2000); // the buffer fills on: still paused, not buffering
        QCOMPARE(player.playState(), int(MediaPlayer::Paused));
        QCOMPARE(player.status().kind, PlayerStatus::Paused);
        QCOMPARE(player.mediaPlayer()->playbackState(), QMediaPlayer::PausedState);
        QVERIFY(qAbs(player.position() - at) < 150);
        player.play();
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > at + 300, 5000);
        // Paused and resumed on the same load: the site saw the song once.
        QCOMPARE(m_site.requests().size(), 2);
        QCOMPARE(player.restarts(), 0);
    }

    // The watchdog with a short interval: progress keeps it quiet, a stall restarts the song where
    // it stood, a restart is spent per stall and comes back once the song plays on, and a stall
    // with none left fails the song.
    void stalls_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("songMs");
        QTest::addColumn<QList<double>>("stallsAt"); // seconds into the song where the site stops
        QTest::addColumn<int>("restarts");
        QTest::addColumn<bool>("plays"); // through to the end, or fails
        QTest::newRow("no stall: plays through many intervals")
            << QStringLiteral("100004") << 6000 << QList<double>{} << 0 << true;
        QTest::newRow("page accepted, then nothing") << QStringLiteral("stall") << 0 << QList<double>{} << 1 << false;
        QTest::newRow("one stall: resumes where it stood")
            << QStringLiteral("100005") << 7000 << QList<double>{3} << 1 << true;
        QTest::newRow("two stalls apart: a restart each")
            << QStringLiteral("100006") << 9000 << QList<double>{2, 6} << 2 << true;
        QTest::newRow("a second stall soon after: fails")
            << QStringLiteral("100007") << 9000 << QList<double>{2, 3.5} << 1 << false;
    }
    void stalls()
    {
        QFETCH(QString, id);
        QFETCH(int, songMs);
        QFETCH(QList<double>, stallsAt);
        QFETCH(int, restarts);
        QFETCH(bool, plays);
        m_site.setSongMilliseconds(songMs);
        // Slow enough that the restarted load's first request, dropped for the range it seeks to,
        // does not reach the next stall first.
        m_site.setSendRate(20'000);
        for (double s : stallsAt)
            m_site.addStall(byteAt(s));
        QtMediaPlayer player;
        player.setStallTimeout(1000);
        player.setRestartRegain(2000);
        StateLog log(player);
        QList<PlayerStatus::Kind> statuses;
        connect(&player, &MediaPlayer::StatusChange, this, [&] { statuses.append(player.status().kind); });
        QList<qint64> shown; // positions the view is given
        connect(&player, &MediaPlayer::positionChanged, this, [&](qint64 ms) { shown.append(ms); });
        player.setURL(page(id));
        if (plays) {
            QTRY_VERIFY_WITH_TIMEOUT(log.states.contains(MediaPlayer::MediaEnded), 40000);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Ready), 40000);
            QCOMPARE(player.status(), (PlayerStatus{PlayerStatus::Failed, QMediaPlayer::NetworkError}));
        }
        QCOMPARE(player.restarts(), restarts);
        QCOMPARE(m_site.requests().count(page(id)), restarts + 1);
        // Reconnecting stays said until the song plays again (or fails).
        const qsizetype reconnecting = statuses.indexOf(PlayerStatus::Reconnecting);
        if (reconnecting >= 0)
            QVERIFY(statuses.value(reconnecting + 1) == PlayerStatus::Playing ||
                    statuses.value(reconnecting + 1) == PlayerStatus::Failed);
        if (!stallsAt.isEmpty() && plays) {
            // Resumed where it stood: a range from there, and the position shown never went back.
            const qint64 from = m_site.ranges().last().mid(6).split('-').first().toLongLong();
            QVERIFY(from > 0 && from < byteAt(stallsAt.last()));
            for (qsizetype i = 1; i < shown.size() && shown[i] > 0; ++i)
                QVERIFY(shown[i] >= shown[i - 1] - 300);
        }
        QVERIFY(!log.states.contains(MediaPlayer::Stopped) || plays);
    }

    // A restart spent on one song is not taken from the next.
    void theNextSongHasItsOwnRestart()
    {
        m_site.setSongMilliseconds(4000);
        m_site.addStall(byteAt(1.5));
        QtMediaPlayer player;
        player.setStallTimeout(1000);
        player.setURL(page(QStringLiteral("100008")));
        QTRY_COMPARE_WITH_TIMEOUT(player.restarts(), 1, 20000);
        // Past the stall, wholly downloaded: the next stall is the next song's.
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > 2500, 20000);
        m_site.addStall(byteAt(1.5));
        player.setURL(page(QStringLiteral("100009")));
        QTRY_COMPARE_WITH_TIMEOUT(player.restarts(), 2, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(player.position() > 2000, 20000);
        QVERIFY(player.status().kind != PlayerStatus::Failed);
    }
};

QTEST_MAIN(TestQtMediaPlayer)
#include "tst_qtmediaplayer.moc"
