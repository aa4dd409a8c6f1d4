#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "playback/qtmediaplayer.h"
#include "site/demosite.h"
#include "tests/support/fakes.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QSlider>
#include <QTest>
#include <QToolButton>

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

    void controlBarStartsAtHalfVolumeAndMutes()
    {
        QtMediaPlayer player;
        QCOMPARE(player.volumeSlider()->value(), 50);
        QCOMPARE(player.mediaPlayer()->audioOutput()->volume(), 0.5f);
        player.muteButton()->click();
        QVERIFY(player.mediaPlayer()->audioOutput()->isMuted());
        player.volumeSlider()->setValue(20);
        QCOMPARE(player.mediaPlayer()->audioOutput()->volume(), 0.2f);
        QCOMPARE(formatTime(61'500), QStringLiteral("1:01"));
    }

    void unplayableAddressShowsTheErrorAndNothingAdvances()
    {
        test::TestWindow w;
        auto* player = new QtMediaPlayer;
        MainWindow window(MainWindowPlatform{QString(), w.launcher, w.dialogs, player});
        window.Form_Load();
        window.QMListBox1()->AddItem(QStringLiteral("gone"), QStringLiteral("404404"), QStringLiteral("404404"), 0);
        window.QMListBox1()->AddItem(QStringLiteral("next"), QStringLiteral("100002"), QStringLiteral("100002"), 0);
        window.playback()->PlaySong(1);
        QTRY_VERIFY_WITH_TIMEOUT(window.StatusBar1()->panelText(3).startsWith(u"播放器状态：出错："), 20000);
        QTest::qWait(1500);
        QVERIFY(!seen(kSongPage + u"100002"));
        QCOMPARE(window.playbackState().PlayRow, 1);
        QVERIFY(window.StatusBar1()->panelText(3).startsWith(u"播放器状态：出错："));
    }

    void loopModePlaysTheNextRowAndStopReallyStops()
    {
        test::TestWindow w;
        auto* player = new QtMediaPlayer;
        MainWindow window(MainWindowPlatform{QString(), w.launcher, w.dialogs, player});
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.QMListBox1()->AddItem(QStringLiteral("one"), QStringLiteral("100001"), QStringLiteral("100001"), 0);
        window.QMListBox1()->AddItem(QStringLiteral("two"), QStringLiteral("100002"), QStringLiteral("100002"), 0);
        m_site.setSongMilliseconds(800);
        QTest::mouseDClick(window.QMListBox1()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTRY_VERIFY_WITH_TIMEOUT(seen(kSongPage + u"100002"), 20000);
        QVERIFY(m_site.requests().indexOf(kSongPage + u"100001") < m_site.requests().indexOf(kSongPage + u"100002"));
        QCOMPARE(window.playbackState().PlayRow, 2);
        QCOMPARE(window.playbackState().AutoPlayState, 1);
        QCOMPARE(window.StatusBar1()->panelText(2), QStringLiteral("正在播放：two"));

        // Row 2 is long enough to be stopped while it plays.
        m_site.setSongMilliseconds(20000);
        window.playback()->PlaySong(2);
        QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(MediaPlayer::Playing), 20000);
        int flagWhenPressed = -1;
        connect(player->stopButton(), &QToolButton::pressed, this,
                [&] { flagWhenPressed = window.playbackState().AutoPlayState; });
        QList<int> states;
        connect(player, &MediaPlayer::PlayStateChange, this, [&](int state) { states.append(state); });
        QTest::mouseClick(player->stopButton(), Qt::LeftButton);
        QCOMPARE(flagWhenPressed, 2); // the click reached the program before the button acted
        QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(MediaPlayer::Stopped), 5000);
        QTest::qWait(1000);
        QCOMPARE(player->playState(), int(MediaPlayer::Stopped));
        QCOMPARE(states, {int(MediaPlayer::Stopped)});
        QCOMPARE(player->mediaPlayer()->playbackState(), QMediaPlayer::StoppedState);
        QCOMPARE(window.StatusBar1()->panelText(3), QStringLiteral("播放器状态：已停止"));
    }
};

QTEST_MAIN(TestQtMediaPlayer)
#include "tst_qtmediaplayer.moc"
