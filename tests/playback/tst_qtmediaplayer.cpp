#include "playback/qtmediaplayer.h"
#include "tests/support/siteproxy.h"

#include <QTest>

using namespace melodrift;

namespace {
const QString kSongPage = QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=");
}

class TestQtMediaPlayer : public QObject {
    Q_OBJECT

    site::DemoSite m_site;

    bool seen(const QString& url) { return m_site.requests().contains(url); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen());
        m_site.setSongMilliseconds(800);
        test::useSiteAsProxy(m_site);
    }
    void init() { m_site.clearRequests(); }

    void reportsMediaEndedThenStoppedAtTheEnd()
    {
        QtMediaPlayer player;
        QList<int> states;
        connect(&player, &MediaPlayer::PlayStateChange, this, [&](int state) { states.append(state); });
        QStringList statuses;
        connect(&player, &MediaPlayer::StatusChange, this, [&] { statuses.append(player.status()); });
        player.setURL(kSongPage + u"100001");
        QCOMPARE(player.URL(), QString(kSongPage + u"100001"));
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(MediaPlayer::MediaEnded), 20000);
        QVERIFY(states.contains(MediaPlayer::Playing));
        const qsizetype end = states.indexOf(MediaPlayer::MediaEnded);
        QCOMPARE(states.value(end + 1), int(MediaPlayer::Stopped));
        QCOMPARE(player.playState(), int(MediaPlayer::Stopped));
        QVERIFY(statuses.contains(QStringLiteral("正在播放")));
        QCOMPARE(statuses.last(), QStringLiteral("播放完毕"));
        QVERIFY(seen(QStringLiteral("http://www.melodrift-music.example/audio/100001.wav")));
    }
};

QTEST_MAIN(TestQtMediaPlayer)
#include "tst_qtmediaplayer.moc"
