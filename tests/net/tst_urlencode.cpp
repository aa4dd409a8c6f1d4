#include "net/urlencode.h"

#include <QTest>

using namespace melodrift;

class TestUrlEncode : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encodesAsCodePage936_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("letters and digits") << QStringLiteral("Abc123xyZ") << QStringLiteral("Abc123xyZ");
        QTest::newRow("pass-through punctuation")
            << QStringLiteral("-,.0123456789/") << QStringLiteral("-,.0123456789/");
        QTest::newRow("worked example") << QStringLiteral("中文歌曲 mp3")
                                        << QStringLiteral("%D6%D0%CE%C4%B8%E8%C7%FA%20mp3");
        QTest::newRow("plus signs") << QStringLiteral("C++") << QStringLiteral("C%2B%2B");
        QTest::newRow("tab") << QStringLiteral("\t") << QStringLiteral("%09");
        QTest::newRow("control below 16 keeps its leading zero") << QStringLiteral("\x01") << QStringLiteral("%01");
        QTest::newRow("trailing space kept") << QStringLiteral("a ") << QStringLiteral("a%20");
        QTest::newRow("euro is one byte of the code page") << QStringLiteral("€") << QStringLiteral("%80");
        QTest::newRow("outside the code page") << QStringLiteral("😀") << QStringLiteral("%3F%3F");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QStringLiteral("%3F");
        QTest::newRow("Korean is outside the code page") << QStringLiteral("한") << QStringLiteral("%3F");
        QTest::newRow("full-width letter and comma") << QStringLiteral("Ａ，") << QStringLiteral("%A3%C1%A3%AC");
        QTest::newRow("other ASCII punctuation")
            << QStringLiteral("_~*&=?%#\"'") << QStringLiteral("%5F%7E%2A%26%3D%3F%25%23%22%27");
        QTest::newRow("DEL") << QStringLiteral("\x7F") << QStringLiteral("%7F");
    }
    void encodesAsCodePage936()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, encoded);
        QCOMPARE(UrlEncodeGb(keyword), encoded);
    }
};

QTEST_GUILESS_MAIN(TestUrlEncode)
#include "tst_urlencode.moc"
