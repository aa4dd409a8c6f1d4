// The window with the real player against the demo site.
#include "app/playerview.h"
#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "playback/playbackcommands.h"
#include "playback/qtmediaplayer.h"
#include "tests/support/fakes.h"

#include <QAudioOutput>
#include <QSlider>
#include <QTest>
#include <QToolButton>

using namespace melodrift;

namespace {
const QString kSongPage = QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=");
}

class TestContinuousPlay : public QObject {
    Q_OBJECT

    site::DemoSite m_site;
    std::unique_ptr<MainWindow> m_window;
    QtMediaPlayer* m_player = nullptr;

    bool seen(const QString& url) { return m_site.requests().contains(url); }
    MainWindow& window() { return *m_window; }
    void addRow(const QString& title, const QString& id) { window().QMListBox1()->AddItem(title, id, id, 0); }

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
        m_player = new QtMediaPlayer;
        m_window = std::make_unique<MainWindow>(MainWindowPlatform{QString(), std::make_shared<test::FakeLauncher>(),
                                                                   std::make_shared<test::FakeDialogs>(), m_player});
        window().Form_Load();
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
    }
    void cleanup() { m_window.reset(); }

    void controlBarStartsAtHalfVolumeAndMutes()
    {
        PlayerView* view = window().playerView();
        QCOMPARE(view->volumeSlider()->value(), 50);
        QCOMPARE(m_player->volume(), 0.5);
        view->muteButton()->click();
        QVERIFY(m_player->isMuted());
        view->volumeSlider()->setValue(20);
        QCOMPARE(float(m_player->volume()), 0.2f);
        QCOMPARE(formatTime(61'500), QStringLiteral("1:01"));
    }

    void unplayableAddressShowsTheErrorAndNothingAdvances()
    {
        addRow(QStringLiteral("gone"), QStringLiteral("404404"));
        addRow(QStringLiteral("next"), QStringLiteral("100002"));
        window().playback()->PlaySong(1);
        QTRY_VERIFY_WITH_TIMEOUT(window().StatusBar1()->panelText(3).startsWith(u"播放器状态：出错："), 20000);
        QTest::qWait(1500);
        QVERIFY(!seen(kSongPage + u"100002"));
        QCOMPARE(window().playbackState().PlayRow, 1);
        QVERIFY(window().StatusBar1()->panelText(3).startsWith(u"播放器状态：出错："));
    }

    void loopModePlaysTheNextRowAndStopReallyStops()
    {
        addRow(QStringLiteral("one"), QStringLiteral("100001"));
        addRow(QStringLiteral("two"), QStringLiteral("100002"));
        QTest::mouseDClick(window().QMListBox1()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTRY_VERIFY_WITH_TIMEOUT(seen(kSongPage + u"100002"), 20000);
        QVERIFY(m_site.requests().indexOf(kSongPage + u"100001") < m_site.requests().indexOf(kSongPage + u"100002"));
        QCOMPARE(window().playbackState().PlayRow, 2);
        QCOMPARE(window().playbackState().AutoPlayState, 1);
        QCOMPARE(window().StatusBar1()->panelText(2), QStringLiteral("正在播放：two"));

        // Row 2 is long enough to be stopped while it plays.
        m_site.setSongMilliseconds(20000);
        window().playback()->PlaySong(2);
        QTRY_COMPARE_WITH_TIMEOUT(m_player->playState(), int(MediaPlayer::Playing), 20000);
        QToolButton* stop = window().playerView()->stopButton();
        int flagWhenPressed = -1;
        connect(stop, &QToolButton::pressed, this, [&] { flagWhenPressed = window().playbackState().AutoPlayState; });
        QList<int> states;
        connect(m_player, &MediaPlayer::PlayStateChange, this, [&](int state) { states.append(state); });
        QTest::mouseClick(stop, Qt::LeftButton);
        QCOMPARE(flagWhenPressed, 2); // the click reached the program before the button acted
        QTRY_COMPARE_WITH_TIMEOUT(m_player->playState(), int(MediaPlayer::Stopped), 5000);
        QTest::qWait(1000);
        QCOMPARE(m_player->playState(), int(MediaPlayer::Stopped));
        QCOMPARE(states, {int(MediaPlayer::Stopped)});
        QCOMPARE(window().StatusBar1()->panelText(3), QStringLiteral("播放器状态：已停止"));
    }
};

QTEST_MAIN(TestContinuousPlay)
#include "tst_continuousplay.moc"
