#include "songlist/songlistmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace melodrift;

class TestSongListModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Steps: "add <id>", "turn" (the event loop's), "play <row>", "choose <row>", "clear". The log
    // records what views are told, with the rows they know when told. Qt's model tester watches.
    void rowsAndMarks_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<int>("played");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("log");
        QTest::newRow("rows are numbered from 1, told to views once per turn")
            << QStringList{u"add a"_qs, u"add b"_qs, u"turn"_qs, u"add c"_qs, u"turn"_qs} << u"a b c"_qs << -1 << -1
            << u"inserted 1-2/2 inserted 3-3/3"_qs;
        QTest::newRow("a mark on a row not yet told tells it first")
            << QStringList{u"add a"_qs, u"add b"_qs, u"play 2"_qs, u"choose 1"_qs, u"turn"_qs} << u"a b"_qs << 2 << 1
            << u"inserted 1-2/2 changed 2:played changed 1:chosen"_qs;
        QTest::newRow("a new mark changes the old row and the new")
            << QStringList{u"add a"_qs, u"add b"_qs, u"play 1"_qs, u"play 2"_qs} << u"a b"_qs << 2 << -1
            << u"inserted 1-2/2 changed 1:played changed 1:played changed 2:played"_qs;
        QTest::newRow("marks outside the list mark nothing")
            << QStringList{u"add a"_qs, u"play 1"_qs, u"play 0"_qs, u"choose 2"_qs, u"choose -1"_qs} << u"a"_qs << -1
            << -1 << u"inserted 1-1/1 changed 1:played changed 1:played"_qs;
        QTest::newRow("a row marked again changes nothing")
            << QStringList{u"add a"_qs, u"play 1"_qs, u"play 1"_qs, u"choose 1"_qs, u"choose 1"_qs} << u"a"_qs << 1 << 1
            << u"inserted 1-1/1 changed 1:played changed 1:chosen"_qs;
        QTest::newRow("clear forgets rows, rows not yet told and marks")
            << QStringList{u"add a"_qs, u"play 1"_qs, u"choose 1"_qs, u"add x"_qs, u"clear"_qs, u"add b"_qs, u"turn"_qs}
            << u"b"_qs << -1 << -1 << u"inserted 1-1/1 changed 1:played changed 1:chosen reset/0 inserted 1-1/1"_qs;
    }
    void rowsAndMarks()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, ids);
        QFETCH(int, played);
        QFETCH(int, chosen);
        QFETCH(QString, log);
        SongListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList seen;
        connect(&model, &QAbstractItemModel::rowsInserted, this, [&](const QModelIndex&, int first, int last) {
            seen.append(QStringLiteral("inserted %1-%2/%3").arg(first + 1).arg(last + 1).arg(model.rowCount()));
        });
        connect(&model, &QAbstractItemModel::dataChanged, this,
                [&](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                    QCOMPARE(from, to);
                    const QString mark = roles.contains(SongListModel::PlayedRole)   ? u"played"_qs
                                         : roles.contains(SongListModel::ChosenRole) ? u"chosen"_qs
                                                                                     : u"?"_qs;
                    seen.append(QStringLiteral("changed %1:%2").arg(from.row() + 1).arg(mark));
                });
        connect(&model, &QAbstractItemModel::modelReset, this,
                [&] { seen.append(QStringLiteral("reset/%1").arg(model.rowCount())); });
        for (const QString& step : steps) {
            const QString verb = step.section(u' ', 0, 0);
            const QString arg = step.section(u' ', 1);
            if (verb == u"add") {
                SongRow song;
                song.title = u"title " + arg;
                song.id = arg;
                model.append(song);
                QCOMPARE(model.at(model.count()).id, arg); // the design's calls know it at once
            } else if (verb == u"turn") {
                QCoreApplication::processEvents();
            } else if (verb == u"play") {
                model.setPlayedRow(arg.toInt());
            } else if (verb == u"choose") {
                model.setChosenRow(arg.toInt());
            } else {
                model.clear();
            }
        }
        QStringList rows;
        for (int row = 1; row <= model.count(); ++row) {
            const QModelIndex index = model.index(row - 1);
            QCOMPARE(model.at(row).title, u"title " + model.at(row).id);
            QCOMPARE(index.data(SongListModel::columnRole(SongListModel::Title)), model.at(row).title);
            QCOMPARE(index.data(SongListModel::columnRole(SongListModel::Id)), model.at(row).id);
            QCOMPARE(index.data(SongListModel::PlayedRole).toBool(), row == played);
            QCOMPARE(index.data(SongListModel::ChosenRole).toBool(), row == chosen);
            rows.append(model.at(row).id);
        }
        QCOMPARE(rows.join(u' '), ids);
        QCOMPARE(model.playedRow(), played);
        QCOMPARE(model.chosenRow(), chosen);
        QCOMPARE(seen.join(u' '), log);
        // Outside the list a row reads empty.
        for (const int outside : {-1, 0, model.count() + 1}) {
            QVERIFY(!model.isRow(outside));
            QVERIFY(model.at(outside).id.isEmpty() && model.at(outside).title.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestSongListModel)
#include "tst_songlistmodel.moc"
