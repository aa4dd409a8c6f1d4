// The window with the real player against the demo site.
#include "app/playerview.h"
#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "playback/mpris.h"
#include "playback/playbackcommands.h"
#include "playback/qtmediaplayer.h"
#include "tests/support/fakes.h"

#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace melodrift;

namespace {
const QString kSongPage = QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=");
enum Mode { Single, Loop, Random };
} // namespace
Q_DECLARE_METATYPE(Mode)

class TestContinuousPlay : public QObject {
    Q_OBJECT

    site::DemoSite m_site;
    std::unique_ptr<MainWindow> m_window;
    QtMediaPlayer* m_player = nullptr;

    bool seen(const QString& url) { return m_site.requests().contains(url); }
    MainWindow& window() { return *m_window; }
    void addRow(const QString& title, const QString& id) { window().QMListBox1()->AddItem(title, id, id, 0); }
    QStringList songPagesSeen()
    {
        QStringList pages;
        for (const QString& url : m_site.requests()) {
            if (url.startsWith(kSongPage))
                pages.append(url.mid(kSongPage.size()));
        }
        return pages;
    }

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
    void cleanup()
    {
        m_window.reset();
        QTest::qWait(200); // requests still on their way reach the site before the next test clears it
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

    // The play mode gives the same address again: each repeat is one request and no stop.
    void repeatsCostOneRequestEach_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("plays");
        QTest::newRow("single track on row 2 of 3") << Single << 3 << 2 << 3;
        QTest::newRow("loop over one row") << Loop << 1 << 1 << 3;
        // The fixed sequence's first number lands on row 2 of 2 again.
        QTest::newRow("random landing on the same row") << Random << 2 << 2 << 2;
    }
    void repeatsCostOneRequestEach()
    {
        QFETCH(Mode, mode);
        QFETCH(int, rows);
        QFETCH(int, row);
        QFETCH(int, plays);
        m_site.setSongMilliseconds(400);
        for (int i = 1; i <= rows; ++i)
            addRow(QStringLiteral("song %1").arg(i), QString::number(100000 + i));
        QRadioButton* buttons[] = {window().Option1(), window().Option2(), window().Option3()};
        buttons[mode]->setChecked(true);
        QList<int> states;
        connect(m_player, &MediaPlayer::PlayStateChange, this, [&](int state) { states.append(state); });
        int replays = 0;
        connect(m_player, &MediaPlayer::StatusChange, this, [&] {
            if (m_player->playState() == MediaPlayer::Stopped)
                ++replays;
        });
        window().playback()->PlaySong(row);
        QTRY_VERIFY_WITH_TIMEOUT(songPagesSeen().size() >= plays, 20000);
        QTest::mouseClick(window().playerView()->stopButton(), Qt::LeftButton);
        const QString id = QString::number(100000 + row);
        QCOMPARE(songPagesSeen().mid(0, plays), QStringList(plays, id));
        QCOMPARE(m_site.requests().count(kSongPage + id), songPagesSeen().size());
        QCOMPARE(window().playbackState().PlayRow, row);
        // Stopped once, by the person, never between the songs: no re-play was asked for.
        QCOMPARE(states.count(MediaPlayer::Stopped), 1);
        QCOMPARE(states.last(), int(MediaPlayer::Stopped));
        QCOMPARE(replays, 1);
    }

    // A pause stays a pause: the armed re-play must not take it for a stop.
    void pauseHolds_data()
    {
        QTest::addColumn<bool>("fromDesktop");
        QTest::newRow("the bar's button") << false;
        QTest::newRow("MPRIS Pause after the list advanced by itself") << true;
    }
    void pauseHolds()
    {
        QFETCH(bool, fromDesktop);
        m_site.setSongMilliseconds(300);
        addRow(QStringLiteral("one"), QStringLiteral("100001"));
        addRow(QStringLiteral("two"), QStringLiteral("100002"));
        window().playback()->PlaySong(1);
        QTRY_VERIFY_WITH_TIMEOUT(songPagesSeen().contains(u"100002"_qs), 20000);
        m_site.setSongMilliseconds(8000);
        QTRY_VERIFY_WITH_TIMEOUT(songPagesSeen().size() >= 3, 20000); // the third song is a long one
        QTRY_VERIFY_WITH_TIMEOUT(m_player->position() > 300, 20000);
        QCOMPARE(window().playbackState().AutoPlayState, 1);
        if (fromDesktop)
            window().mpris()->pause();
        else
            QTest::mouseClick(window().playerView()->playPauseButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_player->playState(), int(MediaPlayer::Paused), 5000);
        const qsizetype requests = m_site.requests().size();
        QTest::qWait(1500);
        QCOMPARE(m_player->playState(), int(MediaPlayer::Paused));
        QCOMPARE(m_player->mediaPlayer()->playbackState(), QMediaPlayer::PausedState);
        QCOMPARE(window().StatusBar1()->panelText(3), QStringLiteral("播放器状态：已暂停"));
        QCOMPARE(m_site.requests().size(), requests);
        QCOMPARE(window().playbackState().AutoPlayState, fromDesktop ? 1 : 2);
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
