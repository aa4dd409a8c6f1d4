#include "controls/plaintext.h"
#include "controls/songlistbox.h"

#include <QAccessible>

#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <cmath>

using namespace melodrift;

class TestSongListBox : public QObject {
    Q_OBJECT

    static constexpr float kRight = 100000.f;
    static constexpr float kBottom = 200000.f;

    std::unique_ptr<SongListBox> m_list;

    void fill(int count)
    {
        for (int i = 1; i <= count; ++i)
            m_list->AddItem(QStringLiteral("Title %1").arg(i), QString::number(1000 + i), QString::number(1000 + i), 0);
        // The scroll bar follows the appends once the window gets to handle events.
        QCoreApplication::processEvents();
    }
    // Centre of a row in viewport pixels, for the rows on screen.
    QPoint rowCentre(int row) { return QPoint(40, m_list->rowTop(row) + m_list->look().itemHeight / 2); }
    QColor pixel(const QImage& image, int row, int x = 2) { return image.pixelColor(x, m_list->rowTop(row) + 1); }

private Q_SLOTS:
    void init()
    {
        m_list = std::make_unique<SongListBox>();
        m_list->resize(457, 321);
        m_list->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
    }
    void cleanup() { m_list.reset(); }

    // x and y in viewport pixels; kRight and kBottom stand for the viewport's width and height.
    void hitTestFindsTheRowUnderAPoint_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("scroll"); // pixels, or -1 for the end
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("row");
        const float h = SongListLook().itemHeight;
        QTest::newRow("top of row 1") << 100 << 0 << 10.f << 0.f << 1;
        QTest::newRow("last pixel of row 1") << 100 << 0 << 10.f << h - 0.5f << 1;
        QTest::newRow("top of row 2") << 100 << 0 << 10.f << h << 2;
        QTest::newRow("left of the viewport") << 100 << 0 << -1.f << 5.f << -1;
        QTest::newRow("above the viewport") << 100 << 0 << 10.f << -1.f << -1;
        QTest::newRow("right of the viewport") << 100 << 0 << kRight << 5.f << -1;
        QTest::newRow("below the viewport, rows hidden there") << 100 << 0 << 10.f << kBottom << -1;
        QTest::newRow("not a number") << 100 << 0 << std::nanf("") << 5.f << -1;
        QTest::newRow("scrolled: top") << 100 << int(10 * h + 3) << 10.f << 0.f << 11;
        QTest::newRow("scrolled: row 11 ends") << 100 << int(10 * h + 3) << 10.f << h - 4 << 11;
        QTest::newRow("scrolled: row 12 begins") << 100 << int(10 * h + 3) << 10.f << h - 3 << 12;
        QTest::newRow("scrolled to the end: last pixel") << 100 << -1 << 10.f << kBottom - 1 << 100;
        QTest::newRow("below the last row") << 2 << 0 << 10.f << 2.5f * h << -1;
        QTest::newRow("empty list") << 0 << 0 << 10.f << 1.f << -1;
    }
    void hitTestFindsTheRowUnderAPoint()
    {
        QFETCH(int, rows);
        QFETCH(int, scroll);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, row);
        fill(rows);
        QScrollBar* bar = m_list->verticalScrollBar();
        bar->setValue(scroll < 0 ? bar->maximum() : scroll);
        if (x >= kRight)
            x = x - kRight + float(m_list->viewport()->width());
        if (y >= kBottom - 1)
            y = y - kBottom + float(m_list->viewport()->height());
        QCOMPARE(m_list->HitTest(x, y), row);
    }

    void mouseEventsCarryButtonShiftAndPosition()
    {
        fill(5);
        QSignalSpy clicks(m_list.get(), &SongListBox::Click);
        QSignalSpy ups(m_list.get(), &SongListBox::MouseUp);
        QSignalSpy doubles(m_list.get(), &SongListBox::DblClick);
        QSignalSpy moves(m_list.get(), &SongListBox::MouseMove);
        const QPoint p = rowCentre(3);
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::ShiftModifier, p);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0][0].toInt(), 1);
        QCOMPARE(clicks[0][1].toInt(), 1);
        QCOMPARE(m_list->HitTest(clicks[0][2].toFloat(), clicks[0][3].toFloat()), 3);
        QCOMPARE(m_list->selectedRow(), 3);
        QTest::mouseClick(m_list->viewport(), Qt::RightButton, Qt::ControlModifier, rowCentre(4));
        QCOMPARE(ups.size(), 2);
        QCOMPARE(ups[1][0].toInt(), 2);
        QCOMPARE(ups[1][1].toInt(), 2);
        QCOMPARE(clicks.size(), 1); // the right button makes no Click
        // The window system's double-click: press, release, double-click, release.
        const QPoint at = rowCentre(2);
        QTest::mousePress(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, m_list->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_list->viewport(), &dbl);
        QTest::mouseRelease(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(doubles.size(), 1);
        // Only the first release clicks, so the text that the double-click writes stays.
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(m_list->HitTest(doubles[0][2].toFloat(), doubles[0][3].toFloat()), 2);
        QTest::mouseMove(m_list->viewport(), rowCentre(5));
        QTRY_VERIFY(!moves.isEmpty());
        QCOMPARE(m_list->HitTest(moves.last()[2].toFloat(), moves.last()[3].toFloat()), 5);
    }

    void rowsArePaintedWithTheirColours()
    {
        fill(4);
        m_list->PlayItem(3);
        m_list->PlayTextColor(QColor(0, 0xC0, 0));
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(2));
        m_list->clearFocus(); // the colours alone first, without the focus mark
        const QImage image = m_list->viewport()->grab().toImage();
        const SongListLook look;
        QCOMPARE(pixel(image, 1), look.itemBkColor1);
        QCOMPARE(pixel(image, 2), look.itemSelBkColor);
        QCOMPARE(pixel(image, 3), look.itemBkColor1);
        QCOMPARE(pixel(image, 4), look.itemBkColor2);
        // The played row's text is drawn in the play colour.
        bool found = false;
        const int top = m_list->rowTop(3);
        for (int y = top; y < top + look.itemHeight && !found; ++y) {
            for (int x = 0; x < 200 && !found; ++x)
                found = image.pixelColor(x, y) == QColor(0, 0xC0, 0);
        }
        QVERIFY(found);
        QCOMPARE(m_list->playedRowTextColor(), QColor(0, 0xC0, 0));
        QCOMPARE(image.pixelColor(2, m_list->rowTop(4) + look.itemHeight + 2), look.backColor);
        // With the focus the keyboard's row is marked, and only that row.
        m_list->setFocus();
        const QImage focused = m_list->viewport()->grab().toImage();
        const auto rowOf = [&](const QImage& from, int row) {
            return from.copy(0, m_list->rowTop(row), from.width(), look.itemHeight);
        };
        QVERIFY(rowOf(focused, 2) != rowOf(image, 2));
        QCOMPARE(rowOf(focused, 3), rowOf(image, 3));
    }

    // The keyboard acts on rows: chosen, played, or its menu opened on screen, at that row.
    void keysChooseARowAndActOnIt_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("start"); // the row clicked first; 0 for none
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("event"); // chosen, activated, menu or "" for none
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("away"); // the chosen row scrolled out of view before the key
        const int shift = Qt::ShiftModifier;
        QTest::newRow("Down with no row chosen takes the first")
            << 100 << 0 << int(Qt::Key_Down) << 0 << "chosen" << 1 << false;
        QTest::newRow("Down") << 100 << 3 << int(Qt::Key_Down) << 0 << "chosen" << 4 << false;
        QTest::newRow("Up") << 100 << 3 << int(Qt::Key_Up) << 0 << "chosen" << 2 << false;
        QTest::newRow("Up on the first row stays") << 100 << 1 << int(Qt::Key_Up) << 0 << "chosen" << 1 << false;
        QTest::newRow("Page Down moves a page") << 100 << 1 << int(Qt::Key_PageDown) << 0 << "chosen" << -1 << false;
        QTest::newRow("Page Up stops at the first row")
            << 100 << 3 << int(Qt::Key_PageUp) << 0 << "chosen" << 1 << false;
        QTest::newRow("Home") << 100 << 12 << int(Qt::Key_Home) << 0 << "chosen" << 1 << false;
        QTest::newRow("End scrolls to the last row") << 100 << 3 << int(Qt::Key_End) << 0 << "chosen" << 100 << false;
        QTest::newRow("Enter plays the chosen row")
            << 100 << 5 << int(Qt::Key_Return) << 0 << "activated" << 5 << false;
        QTest::newRow("Enter on a row the wheel moved away brings it back")
            << 100 << 5 << int(Qt::Key_Return) << 0 << "activated" << 5 << true;
        QTest::newRow("the Menu key on a row moved away too")
            << 100 << 5 << int(Qt::Key_Menu) << 0 << "menu" << 5 << true;
        QTest::newRow("Enter with no row chosen does nothing")
            << 100 << 0 << int(Qt::Key_Enter) << 0 << "" << -1 << false;
        QTest::newRow("the Menu key opens the row's menu")
            << 100 << 5 << int(Qt::Key_Menu) << 0 << "menu" << 5 << false;
        QTest::newRow("Shift+F10 too") << 100 << 5 << int(Qt::Key_F10) << shift << "menu" << 5 << false;
        QTest::newRow("F10 alone does not") << 100 << 5 << int(Qt::Key_F10) << 0 << "" << 5 << false;
        QTest::newRow("no rows: Down does nothing") << 0 << 0 << int(Qt::Key_Down) << 0 << "" << -1 << false;
        QTest::newRow("no rows: the Menu key does nothing") << 0 << 0 << int(Qt::Key_Menu) << 0 << "" << -1 << false;
    }
    void keysChooseARowAndActOnIt()
    {
        QFETCH(int, rows);
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, event);
        QFETCH(int, row);
        QFETCH(bool, away);
        fill(rows);
        if (start > 0) {
            m_list->scrollToRow(start);
            QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, rowCentre(start));
        }
        if (away)
            m_list->verticalScrollBar()->setValue(m_list->verticalScrollBar()->maximum());
        if (row < 0 && !event.isEmpty())
            row = start - 1 + m_list->viewport()->height() / m_list->look().itemHeight; // the page's last whole row
        QSignalSpy chosen(m_list.get(), &SongListBox::rowChosen);
        QSignalSpy activated(m_list.get(), &SongListBox::rowActivated);
        QSignalSpy menu(m_list.get(), &SongListBox::rowMenuRequested);
        QSignalSpy mouse(m_list.get(), &SongListBox::Click); // the keys raise no mouse event
        m_list->setFocus();
        QTest::keyClick(m_list.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QSignalSpy* spies[] = {&chosen, &activated, &menu};
        const QStringList names = {QStringLiteral("chosen"), QStringLiteral("activated"), QStringLiteral("menu")};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(spies[i]->size(), names[i] == event ? 1 : 0);
        QCOMPARE(mouse.size(), 0);
        if (event.isEmpty()) {
            QCOMPARE(m_list->selectedRow(), start > 0 ? start : -1);
            return;
        }
        QCOMPARE(spies[names.indexOf(event)]->first().at(0).toInt(), row);
        QCOMPARE(m_list->selectedRow(), row);
        if (event == u"menu") // on screen, at that row
            QCOMPARE(m_list->HitTest(menu[0][1].toPoint().x(), menu[0][1].toPoint().y()), row);
    }

    // A key held down repeats: Enter plays once, and the frame round the whole list goes when the
    // first row is chosen (only the rows were repainted, the frame's sides stayed).
    void heldKeysAndTheFocusFrame()
    {
        fill(50);
        m_list->setFocus();
        QRegion painted;
        struct Painted : QObject {
            QRegion* region;
            explicit Painted(QRegion* r) : region(r) {}
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Paint)
                    *region += static_cast<QPaintEvent*>(event)->region();
                return false;
            }
        } watcher(&painted);
        QCoreApplication::processEvents();
        m_list->viewport()->installEventFilter(&watcher);
        QTest::keyClick(m_list.get(), Qt::Key_Down);
        QTRY_VERIFY(!painted.isEmpty());
        QCOMPARE(painted.boundingRect(), m_list->viewport()->rect());
        QSignalSpy doubles(m_list.get(), &SongListBox::rowActivated);
        QTest::keyPress(m_list.get(), Qt::Key_Return);
        for (int i = 0; i < 5; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
            QCoreApplication::sendEvent(m_list.get(), &repeat);
        }
        QTest::keyRelease(m_list.get(), Qt::Key_Return);
        QCOMPARE(doubles.size(), 1);
    }

    void tooltipShowsItsTextLiterally()
    {
        fill(1);
        m_list->setToolTipText(QStringLiteral("ID：<b>1</b>\r\n\t 曲名：<img src=x>"));
        QHelpEvent help(QEvent::ToolTip, rowCentre(1), m_list->viewport()->mapToGlobal(rowCentre(1)));
        QCoreApplication::sendEvent(m_list->viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains(u"&lt;b&gt;1&lt;/b&gt;"));
        QVERIFY(QToolTip::text().contains(u"&lt;img"));
        QVERIFY(!QToolTip::text().contains(u"<b>"));
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestSongListBox)
#include "tst_songlistbox.moc"
