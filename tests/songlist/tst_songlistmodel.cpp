#include "songlist/songlistmodel.h"

#include <QTest>

using namespace melodrift;

class TestSongListModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Steps: "add <id>", "play <row>", "choose <row>", "clear". The log records every signal with
    // what the model holds when it comes.
    void rowsAndMarks_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<int>("played");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("log");
        QTest::newRow("rows are numbered from 1 in the order added")
            << QStringList{u"add a"_qs, u"add b"_qs} << u"a b"_qs << -1 << -1 << u"appended 1/1 appended 2/2"_qs;
        QTest::newRow("marks within the list")
            << QStringList{u"add a"_qs, u"add b"_qs, u"play 2"_qs, u"choose 1"_qs} << u"a b"_qs << 2 << 1
            << u"appended 1/1 appended 2/2 played -1>2 chosen -1>1"_qs;
        QTest::newRow("marks outside the list mark nothing")
            << QStringList{u"add a"_qs, u"play 1"_qs, u"play 0"_qs, u"choose 2"_qs, u"choose -1"_qs} << u"a"_qs << -1
            << -1 << u"appended 1/1 played -1>1 played 1>-1"_qs;
        QTest::newRow("the played row marked again is said again, the chosen row is not")
            << QStringList{u"add a"_qs, u"play 1"_qs, u"play 1"_qs, u"choose 1"_qs, u"choose 1"_qs} << u"a"_qs << 1 << 1
            << u"appended 1/1 played -1>1 played 1>1 chosen -1>1"_qs;
        QTest::newRow("clear says so while the rows are there, then forgets rows and marks")
            << QStringList{u"add a"_qs, u"play 1"_qs, u"choose 1"_qs, u"clear"_qs, u"add b"_qs} << u"b"_qs << -1 << -1
            << u"appended 1/1 played -1>1 chosen -1>1 aboutToClear/1 cleared/0 appended 1/1"_qs;
    }
    void rowsAndMarks()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, ids);
        QFETCH(int, played);
        QFETCH(int, chosen);
        QFETCH(QString, log);
        SongListModel model;
        QStringList seen;
        const auto count = [&model] { return QString::number(model.count()); };
        connect(&model, &SongListModel::appended, this,
                [&](int row) { seen.append(u"appended " + QString::number(row) + u'/' + count()); });
        connect(&model, &SongListModel::playedRowChanged, this,
                [&](int old, int row) { seen.append(QStringLiteral("played %1>%2").arg(old).arg(row)); });
        connect(&model, &SongListModel::chosenRowChanged, this,
                [&](int old, int row) { seen.append(QStringLiteral("chosen %1>%2").arg(old).arg(row)); });
        connect(&model, &SongListModel::aboutToClear, this, [&] { seen.append(u"aboutToClear/" + count()); });
        connect(&model, &SongListModel::cleared, this, [&] { seen.append(u"cleared/" + count()); });
        for (const QString& step : steps) {
            const QString verb = step.section(u' ', 0, 0);
            const QString arg = step.section(u' ', 1);
            if (verb == u"add") {
                SongRow song;
                song.title = u"title " + arg;
                song.id = arg;
                model.append(song);
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
            QCOMPARE(model.at(row).title, u"title " + model.at(row).id);
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

QTEST_APPLESS_MAIN(TestSongListModel)
#include "tst_songlistmodel.moc"
