#include "controls/plaintext.h"
#include "controls/playerview.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "search/searchcommands.h"
#include "tests/support/fakes.h"

#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

using namespace melodrift;

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowStartsAsDesigned()
    {
        test::TestWindow w;
        MainWindow& window = *w.window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Melodrift -By Velbrook"));
        QCOMPARE(window.size(), QSize(474, 480));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(window.Option2()->isChecked());
        QVERIFY(!window.Option1()->isChecked() && !window.Option3()->isChecked());
        QCOMPARE(window.Text1()->text(), QString());
        QCOMPARE(window.QMListBox1()->ListCount(), 0);
        QCOMPARE(window.StatusBar1()->panelText(1), QStringLiteral("Melodrift"));
        QCOMPARE(window.StatusBar1()->panelText(3), QString());
        QCOMPARE(window.search()->PageNo(), QStringLiteral("1"));
        QCOMPARE(window.playbackState().PlayRow, 1);
        QCOMPARE(window.playbackState().AutoPlayState, AutoPlay::NeverArmed);
        QVERIFY(!window.playerView()->enableContextMenu());
        const QList<QLabel*> panels = window.StatusBar1()->findChildren<QLabel*>();
        QCOMPARE(panels.size(), 3);
        for (QLabel* panel : panels)
            QCOMPARE(panel->textFormat(), Qt::PlainText);
        // Radio buttons form one group.
        window.Option3()->setChecked(true);
        QVERIFY(!window.Option2()->isChecked());
    }

    void focusStartsOnSearchAndTabFollowsTheFormOrder()
    {
        test::TestWindow w;
        MainWindow& window = *w.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.Command1());
        const QList<QWidget*> expected = {window.Command2(), window.Text1(), window.QMListBox1(), window.Option1()};
        QList<QWidget*> seen;
        for (int i = 0; i < 12 && seen.size() < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            // The player's own controls lie between the keyword box and the list.
            if (!window.playerView()->isAncestorOf(focus))
                seen.append(focus);
        }
        QCOMPARE(seen, expected);
    }

    // Click reaches the form once per act on the player: a press, whether the pressed part takes it
    // or passes it on, or a control worked by key or by a screen reader. It disarms the re-play.
    void anyActOnThePlayerClicksOnce_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("how"); // left, right, space, right-arrow, press (a reader's action)
        QTest::newRow("the status screen") << QStringLiteral("screen") << QStringLiteral("left");
        QTest::newRow("the time label") << QStringLiteral("time") << QStringLiteral("left");
        QTest::newRow("the stop button") << QStringLiteral("stop") << QStringLiteral("left");
        QTest::newRow("the volume slider") << QStringLiteral("volume") << QStringLiteral("left");
        QTest::newRow("the view itself, right button") << QString() << QStringLiteral("right");
        QTest::newRow("pause by Space") << QStringLiteral("playPause") << QStringLiteral("space");
        QTest::newRow("stop as a screen reader presses it") << QStringLiteral("stop") << QStringLiteral("press");
        QTest::newRow("volume by arrow") << QStringLiteral("volume") << QStringLiteral("right-arrow");
    }
    void anyActOnThePlayerClicksOnce()
    {
        QFETCH(QString, part);
        QFETCH(QString, how);
        test::TestWindow w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        PlayerView* view = w.window->playerView();
        QWidget* target = part.isEmpty() ? view : view->findChild<QWidget*>(part);
        QVERIFY(target);
        QSignalSpy clicks(view, &PlayerView::Click);
        if (how == u"left" || how == u"right")
            QTest::mouseClick(target, how == u"left" ? Qt::LeftButton : Qt::RightButton, {}, QPoint(2, 2));
        else if (how == u"press")
            QAccessible::queryAccessibleInterface(target)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        else
            QTest::keyClick(target, how == u"space" ? Qt::Key_Space : Qt::Key_Right);
        QCoreApplication::processEvents();
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0][0].toInt(), how == u"right" ? 2 : how == u"left" ? 1 : 0);
        QCOMPARE(w.window->playbackState().AutoPlayState, AutoPlay::Disarmed);
    }

    void ctrlLAndCtrlFGoToTheKeywordBox()
    {
        test::TestWindow w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w.window->Text1()->setText(QStringLiteral("月光"));
        for (const auto key : {Qt::Key_L, Qt::Key_F}) {
            w.window->QMListBox1()->setFocus();
            QTest::keyClick(w.window->QMListBox1(), key, Qt::ControlModifier);
            QCOMPARE(QApplication::focusWidget(), w.window->Text1());
            QCOMPARE(w.window->Text1()->selectedText(), QStringLiteral("月光"));
        }
    }

    void thePlayersControlsWorkFromTheKeyboard()
    {
        test::TestWindow w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        PlayerView* view = w.window->playerView();
        w.window->Text1()->setFocus();
        QList<QWidget*> reached;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.append(QApplication::focusWidget());
        }
        // As the bar shows them, left to right.
        QCOMPARE(reached, (QList<QWidget*>{view->playPauseButton(), view->stopButton(), view->seekSlider(),
                                           view->muteButton(), view->volumeSlider()}));
        QCOMPARE(view->volumeSlider()->value(), 50); // the design's volume 50
        QCOMPARE(w.player->volume(), 0.5);
        QSignalSpy playPause(view, &PlayerView::playPauseClicked);
        QTest::keyClick(view->playPauseButton(), Qt::Key_Space);
        QCOMPARE(playPause.size(), 1);
        QTest::keyClick(view->muteButton(), Qt::Key_Space);
        QVERIFY(w.player->isMuted());
        QTest::keyClick(view->volumeSlider(), Qt::Key_Right);
        QVERIFY(w.player->volume() > 0.5);
        // The play button's name says what it does now.
        view->setPlaying(true);
        QCOMPARE(QAccessible::queryAccessibleInterface(view->playPauseButton())->text(QAccessible::Name),
                 QStringLiteral("暂停"));
    }

    void startupReportsTheDefaultBrowser_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("installed");
        QTest::newRow("360se quoted with switches") << QStringLiteral("\"/opt/360se/360se\" --flag %u") << true;
        QTest::newRow("360se capitals count at start-up") << QStringLiteral("/usr/bin/360SE %U") << true;
        QTest::newRow("Windows path") << QStringLiteral("\"C:\\Program Files\\360\\360se.exe\" -- \"%1\"") << true;
        QTest::newRow("firefox") << QStringLiteral("/usr/bin/firefox-esr %u") << false;
        QTest::newRow("none registered") << QString() << false;
    }
    void startupReportsTheDefaultBrowser()
    {
        QFETCH(QString, command);
        QFETCH(bool, installed);
        auto launcher = std::make_shared<test::FakeLauncher>(command);
        auto dialogs = std::make_shared<test::FakeDialogs>();
        MainWindow window(MainWindowPlatform{QString(), launcher, dialogs, new test::FakePlayer});
        bool visibleDuringBox = true;
        QString statusDuringBox;
        dialogs->onWarn = [&] {
            visibleDuringBox = window.isVisible();
            statusDuringBox = window.StatusBar1()->panelText(2);
        };
        window.Form_Load();
        if (installed) {
            QCOMPARE(window.StatusBar1()->panelText(2), QStringLiteral("已安装360浏览器"));
            QVERIFY(dialogs->warnings.isEmpty());
        } else {
            QCOMPARE(window.StatusBar1()->panelText(2), QStringLiteral("未安装360浏览器！"));
            QCOMPARE(dialogs->warnings.size(), 1);
            QCOMPARE(dialogs->warnings[0].title, QStringLiteral("警告"));
            QCOMPARE(dialogs->warnings[0].text, QStringLiteral("检测到没有安装360安全浏览器！"));
            QVERIFY(!visibleDuringBox);
            QCOMPARE(statusDuringBox, QStringLiteral("未安装360浏览器！"));
        }
    }

    void statusBarTooltipRepeatsTheFirstTwoPanels()
    {
        test::TestWindow w;
        StatusBar* bar = w.window->StatusBar1();
        w.window->show();
        QTest::mouseMove(bar, QPoint(50, 5));
        QTRY_COMPARE(bar->toolTipText(), QStringLiteral("Melodrift  \r\n已安装360浏览器"));
        const QString long_ = QStringLiteral("找到：<b>a very long message that panel 2 cannot show</b>");
        bar->setPanelText(2, long_);
        QTest::mouseMove(bar, QPoint(60, 6));
        QTRY_COMPARE(bar->toolTipText(), QString(u"Melodrift  \r\n" + long_));
        QHelpEvent help(QEvent::ToolTip, QPoint(60, 6), bar->mapToGlobal(QPoint(60, 6)));
        QCoreApplication::sendEvent(bar, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains(u"&lt;b&gt;a"));
        QVERIFY(!QToolTip::text().contains(u"<b>"));
        QToolTip::hideText();
        // A panel cut to its width ends in "…" and keeps its whole text for the pointer and readers;
        // panel 3, cut at the window's edge, shows its own on the pointer.
        const QString title = QStringLiteral("正在播放：月光与你 (a title far longer than the panel)");
        for (int panel : {2, 3}) {
            bar->setPanelText(panel, title);
            auto* label = bar->findChild<QLabel*>(QStringLiteral("panel%1").arg(panel));
            QVERIFY(label->text().endsWith(u"…"));
            QCOMPARE(label->toolTip(), plainTextToolTip(title));
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), title);
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Description), title);
            QCOMPARE(bar->panelText(panel), title);
        }
        const QPoint onPanel3 = bar->findChild<QLabel*>(QStringLiteral("panel3"))->geometry().center();
        QHelpEvent overPanel3(QEvent::ToolTip, onPanel3, bar->mapToGlobal(onPanel3));
        QCoreApplication::sendEvent(bar, &overPanel3);
        QTRY_VERIFY(QToolTip::isVisible() && QToolTip::text() == plainTextToolTip(title));
        QToolTip::hideText();
    }

    // The position bar goes where it is clicked, dragged to or moved by a key; while the song's
    // length is unknown it goes nowhere (not to 0:00). A drag begins on a song whose length is
    // known, and the length goes (the song left) before the release when it is unknown.
    void theSeekBarGoesWhereItIsSent_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("to"); // -1: no seek
        for (const qint64 length : {qint64(120'000), qint64(0)}) {
            const QString known = length > 0 ? u", length known"_qs : u", length unknown"_qs;
            const qint64 far = length > 0 ? 90'000 : -1;
            QTest::addRow("%s", qPrintable(u"click" + known)) << u"click"_qs << length << far;
            QTest::addRow("%s", qPrintable(u"drag released" + known)) << u"drag"_qs << length << far;
            QTest::addRow("%s", qPrintable(u"Page Up" + known))
                << u"key"_qs << length << (length > 0 ? qint64(12'000) : qint64(-1));
        }
    }
    void theSeekBarGoesWhereItIsSent()
    {
        QFETCH(QString, how);
        QFETCH(qint64, length);
        QFETCH(qint64, to);
        test::TestWindow w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        PlayerView* view = w.window->playerView();
        view->setDuration(how == u"drag" ? 120'000 : length);
        QSignalSpy seek(view, &PlayerView::seekRequested);
        QSlider* bar = view->seekSlider();
        const QPoint quarter(bar->width() / 4, bar->height() / 2);
        const QPoint threeQuarters(bar->width() * 3 / 4, bar->height() / 2);
        if (how == u"click") {
            QTest::mouseClick(bar, Qt::LeftButton, {}, threeQuarters);
        } else if (how == u"drag") {
            QTest::mousePress(bar, Qt::LeftButton, {}, quarter);
            view->setDuration(length);
            QTest::mouseMove(bar, threeQuarters);
            QTest::mouseRelease(bar, Qt::LeftButton, {}, threeQuarters);
        } else {
            QTest::keyClick(bar, Qt::Key_PageUp);
        }
        if (to < 0) {
            QCOMPARE(seek.size(), 0);
            return;
        }
        QCOMPARE(seek.size(), 1);
        QVERIFY2(qAbs(seek[0][0].toLongLong() - to) < 12'000, qPrintable(QString::number(seek[0][0].toLongLong())));
    }

    void skinIsReadFromTheProgramFolderAndMayBeMissing()
    {
        QTemporaryDir dir;
        QFile skin(dir.filePath(QStringLiteral("velbrook.she")));
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write("QPushButton { color: #123456; }");
        skin.close();
        test::TestWindow skinned(QStringLiteral("360se"), dir.path());
        QCOMPARE(skinned.window->styleSheet(), QStringLiteral("QPushButton { color: #123456; }"));
        QCOMPARE(skinned.window->playbackState().PlayRow, 1);

        test::TestWindow plain(QStringLiteral("360se"), dir.filePath(QStringLiteral("missing")));
        QCOMPARE(plain.window->styleSheet(), QString());
        QCOMPARE(plain.window->StatusBar1()->panelText(2), QStringLiteral("已安装360浏览器"));
        QCOMPARE(plain.window->search()->PageNo(), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
