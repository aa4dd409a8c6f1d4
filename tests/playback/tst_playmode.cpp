#include "net/musicsite.h"
#include "playback/playmode.h"
#include "playback/songpage.h"

#include <QSet>
#include <QTest>

using namespace melodrift;

Q_DECLARE_METATYPE(PlayMode)

class TestPlayMode : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nextRowFollowsTheMode_data()
    {
        QTest::addColumn<PlayMode>("mode");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("ended");
        QTest::addColumn<int>("next");
        QTest::newRow("single repeats") << PlayMode::Single << 10 << 4 << 4;
        QTest::newRow("single repeats the last of several rows") << PlayMode::Single << 10 << 10 << 10;
        QTest::newRow("loop advances") << PlayMode::Loop << 10 << 4 << 5;
        QTest::newRow("loop wraps") << PlayMode::Loop << 10 << 10 << 1;
        QTest::newRow("single on a shortened list") << PlayMode::Single << 3 << 7 << 1;
        QTest::newRow("loop on a shortened list") << PlayMode::Loop << 3 << 7 << 1;
        QTest::newRow("random on a shortened list") << PlayMode::Random << 3 << 7 << 1;
        QTest::newRow("single, one row") << PlayMode::Single << 1 << 1 << 1;
        QTest::newRow("loop, one row") << PlayMode::Loop << 1 << 1 << 1;
        QTest::newRow("random, one row") << PlayMode::Random << 1 << 1 << 1;
    }
    void nextRowFollowsTheMode()
    {
        QFETCH(PlayMode, mode);
        QFETCH(int, rows);
        QFETCH(int, ended);
        QFETCH(int, next);
        PlayRandom random;
        QCOMPARE(NextRow(mode, ended, rows, random), next);
    }

    void randomCoversTheListAndRepeatsItsSequence()
    {
        auto run = [] {
            PlayRandom random;
            QList<int> rows;
            int row = 1;
            for (int i = 0; i < 200; ++i)
                rows.append(row = NextRow(PlayMode::Random, row, 10, random));
            return rows;
        };
        const QList<int> first = run();
        QCOMPARE(run(), first);
        QSet<int> seen;
        for (int row : first) {
            QVERIFY(row >= 1 && row <= 10);
            seen.insert(row);
        }
        QCOMPARE(seen.size(), 10);
        // Only the random mode draws: the other modes leave the sequence where it was.
        PlayRandom drawn;
        PlayRandom untouched;
        (void)NextRow(PlayMode::Loop, 1, 10, drawn);
        QCOMPARE(drawn.next(), untouched.next());
    }
};

QTEST_APPLESS_MAIN(TestPlayMode)
#include "tst_playmode.moc"
