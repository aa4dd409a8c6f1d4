// The window with the real player against the demo site.
#include "controls/playerview.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "playback/gstplayer.h"
#include "playback/mpris.h"
#include "playback/playbackcommands.h"
#include "tests/support/fakes.h"

#include <QAccessible>
#include <QTest>
#include <QToolButton>

using namespace melodrift;

namespace {
const QString kSongPage = QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=");
} // namespace

class TestContinuousPlay : public test::SiteSuite {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;
    GstPlayer* m_player = nullptr;

    bool seen(const QString& url) { return m_site.requests().contains(url); }
    MainWindow& window() { return *m_window; }
    void addRow(const QString& title, const QString& id) { window().QMListBox1()->AddItem(title, id, id, 0); }
    QStringList songPagesSeen() { return m_site.requests().filter(kSongPage); }

private Q_SLOTS:
    void init()
    {
        m_site.clearRequests();
        m_site.setSongMilliseconds(800);
        m_player = new GstPlayer;
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

    // After the list advanced by itself (the re-play armed), the person's pause or stop holds,
    // however it comes: the bar's button by mouse or by key, a screen reader's press, the desktop.
    void thePersonsPauseOrStopHolds_data()
    {
        QTest::addColumn<bool>("stop"); // or pause
        QTest::addColumn<QString>("how");
        QTest::addColumn<AutoPlay>("armed"); // AutoPlayState after it
        QTest::newRow("pause, the bar's button") << false << QStringLiteral("mouse") << AutoPlay::Disarmed;
        QTest::newRow("pause from the desktop (MPRIS)") << false << QStringLiteral("desktop") << AutoPlay::Armed;
        QTest::newRow("stop, the bar's button") << true << QStringLiteral("mouse") << AutoPlay::Disarmed;
        QTest::newRow("stop by Tab and Space") << true << QStringLiteral("key") << AutoPlay::Disarmed;
        QTest::newRow("stop as a screen reader presses it") << true << QStringLiteral("reader") << AutoPlay::Disarmed;
        QTest::newRow("stop from the desktop (MPRIS)") << true << QStringLiteral("desktop") << AutoPlay::Disarmed;
    }
    void thePersonsPauseOrStopHolds()
    {
        QFETCH(bool, stop);
        QFETCH(QString, how);
        QFETCH(AutoPlay, armed);
        m_site.setSongMilliseconds(300);
        addRow(QStringLiteral("one"), QStringLiteral("100001"));
        addRow(QStringLiteral("two"), QStringLiteral("100002"));
        window().playback()->PlaySong(1);
        QTRY_VERIFY_WITH_TIMEOUT(seen(u"http://www.melodrift-music.example/audio/100002.mp3"_qs), 20000);
        QCOMPARE(songPagesSeen().first(), kSongPage + u"100001");
        m_site.setSongMilliseconds(0); // the second song's file was sent short; the third lasts minutes
        QTRY_VERIFY_WITH_TIMEOUT(songPagesSeen().size() >= 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(m_player->position() > 300, 20000);
        QCOMPARE(window().playbackState().AutoPlayState, AutoPlay::Armed);
        QCOMPARE(window().StatusBar1()->panelText(2), QStringLiteral("正在播放：one"));
        QToolButton* button = stop ? window().playerView()->stopButton() : window().playerView()->playPauseButton();
        if (how == u"mouse") {
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (how == u"key") {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Space);
        } else if (how == u"reader") {
            QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        } else {
            stop ? window().mpris()->stop() : window().mpris()->pause();
        }
        const int held = stop ? MediaPlayer::Stopped : MediaPlayer::Paused;
        QTRY_COMPARE_WITH_TIMEOUT(m_player->playState(), held, 5000);
        const qsizetype requests = m_site.requests().size();
        QTest::qWait(1500);
        QCOMPARE(m_player->playState(), held);
        QCOMPARE(m_site.requests().size(), requests);
        QCOMPARE(window().StatusBar1()->panelText(3), stop ? u"播放器状态：已停止"_qs : u"播放器状态：已暂停"_qs);
        QCOMPARE(window().playbackState().AutoPlayState, armed);
    }
};

QTEST_MAIN(TestContinuousPlay)
#include "tst_continuousplay.moc"
