// The real player against the demo site: what the site sees and what the player reports.
#include "playback/qtmediaplayer.h"
#include "tests/support/siteproxy.h"

#include <QTest>

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

//! The play states a player reports, in order.
struct StateLog {
    explicit StateLog(MediaPlayer& player)
    {
        QObject::connect(&player, &MediaPlayer::PlayStateChange, &player, [this](int state) { states.append(state); });
    }
    QList<int> states;
};

} // namespace

class TestQtMediaPlayer : public QObject {
    Q_OBJECT

    site::DemoSite m_site;

    static bool playing(const QtMediaPlayer& player) { return player.playState() == MediaPlayer::Playing; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen());
        test::useSiteAsProxy(m_site);
    }
    void init()
    {
        m_site.clearRequests();
        m_site.setSongMilliseconds(800);
    }

    void reportsMediaEndedThenStoppedAtTheEnd()
    {
        QtMediaPlayer player;
        StateLog log(player);
        QStringList statuses;
        connect(&player, &MediaPlayer::StatusChange, this, [&] { statuses.append(player.status()); });
        player.setURL(page(QStringLiteral("100001")));
        QCOMPARE(player.URL(), page(QStringLiteral("100001")));
        QTRY_VERIFY_WITH_TIMEOUT(log.states.contains(MediaPlayer::MediaEnded), 20000);
        QTest::qWait(100);
        // Buffering may come and go while it plays; it starts connecting and ends as the design has it.
        QCOMPARE(log.states.first(), int(MediaPlayer::Transitioning));
        QVERIFY(log.states.contains(MediaPlayer::Playing));
        QCOMPARE(log.states.mid(log.states.size() - 2), (QList<int>{MediaPlayer::MediaEnded, MediaPlayer::Stopped}));
        QCOMPARE(log.states.count(MediaPlayer::Stopped), 1);
        QCOMPARE(statuses.first(), QStringLiteral("正在连接…"));
        QVERIFY(statuses.contains(QStringLiteral("正在播放")));
        QCOMPARE(statuses.last(), QStringLiteral("播放完毕"));
        QCOMPARE(m_site.requests(), (QStringList{page(QStringLiteral("100001")), audio(QStringLiteral("100001"))}));
    }

    // Every play costs the site one song page and its song, nothing else; a new address (another
    // or the same) is never reported stopped. `atEnd`: the address is given by a handler of the
    // song's end, as the automatic advance gives it; otherwise while the first song plays.
    void eachPlayAsksTheSiteOnce_data()
    {
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("atEnd");
        QTest::newRow("another song while one plays") << QStringLiteral("100002") << false;
        QTest::newRow("the same song while it plays") << QStringLiteral("100001") << false;
        QTest::newRow("another song at the end") << QStringLiteral("100002") << true;
        QTest::newRow("the same song at the end") << QStringLiteral("100001") << true;
    }
    void eachPlayAsksTheSiteOnce()
    {
        QFETCH(QString, next);
        QFETCH(bool, atEnd);
        QtMediaPlayer player;
        StateLog log(player);
        qsizetype switched = -1;
        auto giveNext = [&] {
            switched = log.states.size();
            player.setURL(page(next));
        };
        if (atEnd) {
            connect(&player, &MediaPlayer::PlayStateChange, this, [&](int state) {
                if (state == MediaPlayer::MediaEnded && switched < 0)
                    giveNext();
            });
        }
        player.setURL(page(QStringLiteral("100001")));
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > 200, 20000);
        if (!atEnd)
            giveNext();
        QTRY_VERIFY_WITH_TIMEOUT(switched >= 0, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(log.states.mid(switched).contains(MediaPlayer::MediaEnded), 20000);
        QTest::qWait(300);
        QCOMPARE(m_site.requests(), (QStringList{page(QStringLiteral("100001")), audio(QStringLiteral("100001")),
                                                 page(next), audio(next)}));
        const QList<int> second = log.states.mid(switched);
        QCOMPARE(second.value(0), int(MediaPlayer::Transitioning));
        QVERIFY2(second.indexOf(MediaPlayer::Stopped) > second.indexOf(MediaPlayer::MediaEnded),
                 qPrintable(QString::number(second.indexOf(MediaPlayer::Stopped))));
        QCOMPARE(log.states.count(MediaPlayer::Stopped), 1); // the very last song's end only
    }

    void pauseHoldsAndPlayGoesOn()
    {
        m_site.setSongMilliseconds(6000);
        QtMediaPlayer player;
        player.setURL(page(QStringLiteral("100003")));
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > 300, 20000);
        player.pause();
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Paused), 5000);
        QCOMPARE(player.status(), QStringLiteral("已暂停"));
        const qint64 at = player.position();
        QTest::qWait(1000);
        QCOMPARE(player.playState(), int(MediaPlayer::Paused));
        QCOMPARE(player.mediaPlayer()->playbackState(), QMediaPlayer::PausedState);
        QVERIFY(qAbs(player.position() - at) < 150);
        player.play();
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > at + 300, 5000);
        // Paused and resumed on the same load: the site saw the song once.
        QCOMPARE(m_site.requests().size(), 2);
    }

    void stopEndsTheLoadAndPlayStartsAgain()
    {
        m_site.setSongMilliseconds(6000);
        QtMediaPlayer player;
        StateLog log(player);
        player.setURL(page(QStringLiteral("100004")));
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > 200, 20000);
        player.stop();
        QCOMPARE(player.playState(), int(MediaPlayer::Stopped));
        QCOMPARE(player.status(), QStringLiteral("已停止"));
        QVERIFY(!player.mediaPlayer());
        QTest::qWait(500);
        QCOMPARE(m_site.requests().size(), 2); // no seek of the stopped song
        const qsizetype stopped = log.states.size();
        player.play();
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > 200, 20000);
        QCOMPARE(m_site.requests().mid(2),
                 (QStringList{page(QStringLiteral("100004")), audio(QStringLiteral("100004"))}));
        QCOMPARE(log.states.at(stopped - 1), int(MediaPlayer::Stopped));
        QCOMPARE(log.states.at(stopped), int(MediaPlayer::Transitioning));
        QCOMPARE(log.states.count(MediaPlayer::Stopped), 1);
    }

    // A site that stops sending: the song is loaded anew once, then fails as an unplayable one.
    void aStalledSongIsRestartedOnceThenFails_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("accepted, then nothing") << QStringLiteral("stall");
        QTest::newRow("half the song, then nothing") << QStringLiteral("halfstall");
    }
    void aStalledSongIsRestartedOnceThenFails()
    {
        QFETCH(QString, id);
        m_site.setSongMilliseconds(3000);
        QtMediaPlayer player;
        player.setStallTimeout(1500);
        StateLog log(player);
        QStringList statuses;
        connect(&player, &MediaPlayer::StatusChange, this, [&] { statuses.append(player.status()); });
        player.setURL(page(id));
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Ready), 20000);
        QCOMPARE(player.status(), QStringLiteral("出错：网络错误"));
        QCOMPARE(player.restarts(), 1);
        QVERIFY(statuses.contains(QStringLiteral("正在重新连接…")));
        QCOMPARE(m_site.requests().count(page(id)), 2);
        QVERIFY(!log.states.contains(MediaPlayer::MediaEnded));
        QVERIFY(!log.states.contains(MediaPlayer::Stopped));
        QTest::qWait(2000);
        QCOMPARE(m_site.requests().count(page(id)), 2); // failed for good
    }
};

QTEST_MAIN(TestQtMediaPlayer)
#include "tst_qtmediaplayer.moc"
