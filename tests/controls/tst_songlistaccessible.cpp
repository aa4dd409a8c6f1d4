// The song list as a screen reader sees it. Runs where an assistive technology listens
// (tests/support/a11y_session.sh: Xvfb, a session bus and the accessibility bus).
#include "controls/songlistbox.h"

#include <QAccessible>
#include <QTest>

using namespace melodrift;

namespace {

QStringList g_events;

QString describe(QAccessibleEvent* event)
{
    QString text = QString::number(int(event->type()));
    if (event->type() == QAccessible::TableModelChanged) {
        const auto* change = static_cast<QAccessibleTableModelChangeEvent*>(event);
        text += QStringLiteral(":%1:%2-%3")
                    .arg(int(change->modelChangeType()))
                    .arg(change->firstRow())
                    .arg(change->lastRow());
    } else if (QAccessibleInterface* iface = event->accessibleInterface();
               iface != nullptr && iface->role() == QAccessible::ListItem) {
        text += u':' + iface->text(QAccessible::Name);
    }
    return text;
}

QString type(QAccessible::Event event)
{
    return QString::number(int(event));
}

} // namespace

class TestSongListAccessible : public QObject {
    Q_OBJECT

    std::unique_ptr<SongListBox> m_list;

    void fill(int count)
    {
        for (int i = 1; i <= count; ++i)
            m_list->AddItem(QStringLiteral("Title %1").arg(i), QString::number(1000 + i), QString::number(1000 + i), 0);
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000),
                 "no assistive technology bus: run under tests/support/a11y_session.sh");
    }
    void init()
    {
        m_list = std::make_unique<SongListBox>();
        m_list->resize(457, 321);
        m_list->show();
        m_list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_list.get()));
    }
    void cleanup()
    {
        QAccessible::installUpdateHandler(nullptr);
        m_list.reset();
    }

    void rowsAreChildrenWithTitleAndId()
    {
        fill(3);
        m_list->AddItem(QStringLiteral("月光 下"), QStringLiteral("a&b"), QStringLiteral("a&b"), 0);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(m_list.get());
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("歌曲列表"));
        QCOMPARE(list->childCount(), 4);
        QAccessibleInterface* row = list->child(3);
        QVERIFY(row);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("月光 下"));
        QCOMPARE(row->text(QAccessible::Description), QStringLiteral("ID：a&b"));
        QCOMPARE(row->parent(), list);
        QCOMPARE(list->indexOfChild(row), 3);
        QCOMPARE(list->child(3), row); // the same object while the list stands
        QVERIFY(!list->child(4));
        QCOMPARE(list->childAt(row->rect().center().x(), row->rect().center().y()), row);
        QVERIFY(!row->state().selected && !row->state().offscreen);
        m_list->setFocus();
        QTest::keyClick(m_list.get(), Qt::Key_End);
        QVERIFY(row->state().selected);
        QVERIFY(row->state().focused);
        QVERIFY(!list->child(0)->state().selected);
        m_list->PlayItem(4);
        QCOMPARE(row->text(QAccessible::Description), QStringLiteral("ID：a&b，正在播放"));
        m_list->Clear();
        QCOMPARE(m_list->accessibleRowsAlive(), 0);
        QCOMPARE(list->childCount(), 0);
    }

    void changesAreAnnounced()
    {
        m_list->setFocus();
        g_events.clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) { g_events.append(describe(event)); });
        fill(2);
        QTest::keyClick(m_list.get(), Qt::Key_Down);
        m_list->PlayItem(1);
        m_list->Clear();
        QAccessible::installUpdateHandler(nullptr);
        // Rows 1 and 2 came, row 1 was chosen and began to play, the list was emptied; only row 1
        // was ever asked for, so only row 1 goes.
        const QString inserted = QString::number(int(QAccessibleTableModelChangeEvent::RowsInserted));
        const QString reset = QString::number(int(QAccessibleTableModelChangeEvent::ModelReset));
        const QStringList expected = {type(QAccessible::TableModelChanged) + u':' + inserted + u":0-1",
                                      type(QAccessible::ObjectCreated) + u":Title 1",
                                      type(QAccessible::Selection) + u":Title 1",
                                      type(QAccessible::Focus) + u":Title 1",
                                      type(QAccessible::DescriptionChanged) + u":Title 1",
                                      type(QAccessible::ObjectDestroyed) + u":Title 1",
                                      type(QAccessible::TableModelChanged) + u':' + reset + u":-1--1"};
        QStringList rowEvents = g_events;
        rowEvents.removeAll(type(QAccessible::Focus)); // the list's own, from Qt
        QCOMPARE(rowEvents, expected);
    }

    void aLongListKeepsNoObjectPerRow()
    {
        fill(100'000);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(m_list.get());
        QCOMPARE(list->childCount(), 100'000);
        QCOMPARE(list->child(99'999)->text(QAccessible::Name), QStringLiteral("Title 100000"));
        // The first of the batch that came in, and the one asked for: no object per row.
        QCOMPARE(m_list->accessibleRowsAlive(), 2);
    }
};

QTEST_MAIN(TestSongListAccessible)
#include "tst_songlistaccessible.moc"
