#include "controls/playerview.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "net/musicsite.h"
#include "playback/playbackcommands.h"
#include "tests/support/fakes.h"

#include <QMenu>
#include <QRadioButton>
#include <QTest>

using namespace melodrift;

class TestPlaybackCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestWindow> m_w;

    MainWindow& window() { return *m_w->window; }
    SongListBox& list() { return *window().QMListBox1(); }
    test::FakePlayer& player() { return *m_w->player; }
    QString panel(int n) { return window().StatusBar1()->panelText(n); }

    void fill(int count)
    {
        list().Clear();
        for (int i = 1; i <= count; ++i)
            list().AddItem(QStringLiteral("Song %1").arg(i), QString::number(100 + i), QString::number(100 + i), 0);
    }
    QPoint rowPoint(int row) { return QPoint(30, (row - 1) * list().look().itemHeight + 5); }
    void setMode(PlayMode mode)
    {
        (mode == PlayMode::Single ? window().Option1()
         : mode == PlayMode::Loop ? window().Option2()
                                  : window().Option3())
            ->setChecked(true);
    }
    void play(int row) { QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, rowPoint(row)); }
    void rightClick(QPoint p) { QTest::mouseClick(list().viewport(), Qt::RightButton, {}, p); }
    QString urlOf(int row) { return SongPageUrl(QString::number(100 + row)); }

private Q_SLOTS:
    void init()
    {
        m_w = std::make_unique<test::TestWindow>();
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
    }
    void cleanup() { m_w.reset(); }

    void doubleClickPlaysTheRowUnderThePointer()
    {
        fill(5);
        list().AddItem(QStringLiteral("A B  C"), QStringLiteral("a&b c"), QStringLiteral("a&b c"), 0);
        const QString before = panel(2);
        play(9); // below the last row: nothing
        QVERIFY(player().urls.isEmpty());
        QCOMPARE(panel(2), before);
        QCOMPARE(window().playbackState().PlayRow, 1);
        QCOMPARE(list().playedRow(), -1);
        QString statusAtUrl;
        player().onUrl = [&](const QString&) { statusAtUrl = panel(2); };
        play(3);
        QCOMPARE(list().playedRow(), 3);
        QCOMPARE(list().playedRowTextColor(), QColor(0, 0xC0, 0));
        QCOMPARE(window().playbackState().PlayRow, 3);
        QCOMPARE(player().urls, {QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=103")});
        QCOMPARE(panel(2), QStringLiteral("正在播放：Song 3"));
        QVERIFY(statusAtUrl != panel(2)); // the address is given before the text is shown
        QCOMPARE(window().playerView()->songTitle(), QStringLiteral("Song 3")); // until the file names itself
        play(6);
        QCOMPARE(player().urls.last(), QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=a&b c"));
        QCOMPARE(panel(2), QStringLiteral("正在播放：A B  C"));
        play(6);
        QCOMPARE(player().urls.size(), 3); // the same row again gets its address again
    }

    void menuOpensForTheRightButtonAndListenPlaysItsRow()
    {
        rightClick(rowPoint(1));
        QVERIFY(!window().Menu()->isVisible());
        QCOMPARE(window().playbackState().MenuRow, 0);
        fill(3);
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, rowPoint(2));
        QVERIFY(!window().Menu()->isVisible());
        QCOMPARE(window().playbackState().MenuRow, 0);
        // Below the last row the menu opens with no row, and its commands do nothing.
        rightClick(rowPoint(8));
        QVERIFY(window().Menu()->isVisible());
        QVERIFY(window().playbackState().MenuRow < 0);
        window().Menu()->hide();
        window().Pla()->trigger();
        window().Dolown()->trigger();
        QVERIFY(player().urls.isEmpty());
        // On a row it remembers the row, and "试听" plays it.
        rightClick(rowPoint(3));
        QCOMPARE(window().playbackState().MenuRow, 3);
        window().Menu()->hide();
        window().Pla()->trigger();
        QCOMPARE(player().urls, {urlOf(3)});
        QCOMPARE(panel(2), QStringLiteral("正在播放：Song 3"));
    }

    // Without a mouse: a row chosen with the keys shows its ID and title, Enter plays it, and the
    // Menu key opens the menu for it, at it, as a right-click would.
    void theKeyboardDoesWhatTheMouseDoes()
    {
        fill(6);
        list().setFocus();
        QTest::keyClick(&list(), Qt::Key_Down);
        QTest::keyClick(&list(), Qt::Key_Down);
        QCOMPARE(panel(1), QStringLiteral("ID：102"));
        QCOMPARE(panel(2), QStringLiteral("曲名：Song2"));
        QTest::keyClick(&list(), Qt::Key_Return);
        QCOMPARE(player().urls, {urlOf(2)});
        QCOMPARE(panel(2), QStringLiteral("正在播放：Song 2"));
        QTest::keyClick(&list(), Qt::Key_End);
        QTest::keyClick(&list(), Qt::Key_Menu);
        QCOMPARE(window().playbackState().MenuRow, 6);
        QVERIFY(window().Menu()->isVisible());
        const QRect row6(list().viewport()->mapToGlobal(QPoint(0, list().rowTop(6))),
                         QSize(list().viewport()->width(), list().look().itemHeight));
        QVERIFY(row6.contains(window().Menu()->pos()));
        window().Menu()->hide();
        window().Pla()->trigger();
        QCOMPARE(player().urls.last(), urlOf(6));
    }

    // A click shows a row's ID and title (without spaces) in the panels, the pointer in the
    // tooltip; empty space below the rows keeps what was shown.
    void rowFeedbackShowsTheIdAndTitleWithoutSpaces_data()
    {
        QTest::addColumn<bool>("click"); // or the pointer moving
        QTest::newRow("click") << true;
        QTest::newRow("pointer") << false;
    }
    void rowFeedbackShowsTheIdAndTitleWithoutSpaces()
    {
        QFETCH(bool, click);
        list().AddItem(QStringLiteral("A B  C\t\u3000D"), QStringLiteral("123456"), QStringLiteral("123456"), 0);
        const auto shown = [&] { return click ? panel(1) + u'|' + panel(2) : list().toolTipText(); };
        const QString expected = click ? QStringLiteral("ID：123456|曲名：ABC\t\u3000D")
                                       : QStringLiteral("ID：123456\r\n\t 曲名：ABC\t\u3000D");
        for (const int row : {1, 4}) {
            if (click)
                QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, rowPoint(row));
            else
                QTest::mouseMove(list().viewport(), rowPoint(row));
            QTRY_COMPARE(shown(), expected);
        }
    }

    // The rule itself is tested in tst_playmode; here, that the buttons choose it when the song
    // ends (the mode is chosen while it plays) and the row plays, and that the player was told that
    // row beforehand, whatever changed the choice while the song played.
    void songEndPlaysTheNextRowByTheModeButtons_data()
    {
        QTest::addColumn<PlayMode>("mode");
        QTest::addColumn<QString>("act"); // while the song plays
        QTest::addColumn<int>("told");    // the row the player was told the end goes on to; 0: none
        QTest::addColumn<int>("next");    // 0: nothing plays
        QTest::newRow("single track") << PlayMode::Single << "" << 4 << 4;
        QTest::newRow("loop the list") << PlayMode::Loop << "" << 5 << 5;
        QTest::newRow("random") << PlayMode::Random << "" << 6 << 6; // the fixed sequence's first, in 10 rows
        QTest::newRow("the mode changes") << PlayMode::Loop << "mode" << 4 << 4;
        QTest::newRow("a new search") << PlayMode::Loop << "search" << 5 << 5;
        QTest::newRow("another row played") << PlayMode::Loop << "play" << 8 << 8;
        QTest::newRow("a stop, and every state but the end") << PlayMode::Loop << "stop" << 5 << 0;
        QTest::newRow("the list emptied") << PlayMode::Loop << "empty" << 0 << 0;
    }
    void songEndPlaysTheNextRowByTheModeButtons()
    {
        QFETCH(PlayMode, mode);
        QFETCH(QString, act);
        QFETCH(int, told);
        QFETCH(int, next);
        fill(10);
        play(4);
        setMode(mode);
        player().report(MediaPlayer::Playing);
        if (act == u"mode")
            setMode(PlayMode::Single);
        else if (act == u"search")
            fill(10);
        else if (act == u"play")
            play(7);
        else if (act == u"stop") {
            for (const MediaPlayer::PlayState state :
                 {MediaPlayer::Stopped, MediaPlayer::Paused, MediaPlayer::Playing, MediaPlayer::Buffering,
                  MediaPlayer::Transitioning, MediaPlayer::Ready})
                player().report(state); // none of them advances
        } else if (act == u"empty")
            list().Clear();
        QTRY_COMPARE(player().nextUrl, told == 0 ? QString() : urlOf(told)); // rows reach the list once a turn
        QString statusAtUrl;
        player().onUrl = [&](const QString&) { statusAtUrl = panel(2); };
        if (act != u"stop")
            player().reportEnd();
        if (next == 0) {
            QCOMPARE(player().urls.size(), 1);
            QCOMPARE(window().playbackState().PlayRow, 4);
            QCOMPARE(window().playbackState().AutoPlayState, AutoPlay::NeverArmed);
            return;
        }
        QCOMPARE(window().playbackState().PlayRow, next);
        QCOMPARE(window().playbackState().AutoPlayState, AutoPlay::Armed);
        QCOMPARE(player().urls.last(), urlOf(next));
        QCOMPARE(list().playedRow(), next);
        QCOMPARE(list().playedRowTextColor(), QColor(0, 0xC0, 0));
        // The advance shows the text before it gives the address.
        QCOMPARE(statusAtUrl, QString(u"正在播放：Song " + QString::number(next)));
    }

    void statusChangesReplayAStoppedPlayerOnlyWhenArmed()
    {
        fill(3);
        play(1);
        player().report(MediaPlayer::Stopped);
        player().reportStatus(PlayerStatus::Stopped);
        QCOMPARE(panel(3), QStringLiteral("播放器状态：已停止"));
        QCOMPARE(player().playCalls, 0); // never armed

        player().reportEnd(); // advance arms
        QCOMPARE(window().playbackState().AutoPlayState, AutoPlay::Armed);
        player().report(MediaPlayer::Stopped); // however the player came to stop
        player().reportStatus(PlayerStatus::Stopped);
        QCOMPARE(player().playCalls, 1);
        player().report(MediaPlayer::Playing);
        player().reportStatus(PlayerStatus::Playing);
        QCOMPARE(player().playCalls, 1); // only a stopped player is told to play

        QTest::mouseClick(window().playerView(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(window().playbackState().AutoPlayState, AutoPlay::Disarmed);
        player().report(MediaPlayer::Stopped);
        player().reportStatus(PlayerStatus::Stopped);
        QCOMPARE(player().playCalls, 1);
        QCOMPARE(panel(3), QStringLiteral("播放器状态：已停止"));

        // A manual play leaves the flag as it is; the next advance arms again.
        play(2);
        QCOMPARE(window().playbackState().AutoPlayState, AutoPlay::Disarmed);
        player().reportEnd();
        QCOMPARE(window().playbackState().AutoPlayState, AutoPlay::Armed);
    }
};

QTEST_MAIN(TestPlaybackCommands)
#include "tst_playbackcommands.moc"
