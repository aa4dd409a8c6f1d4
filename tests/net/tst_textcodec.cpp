#include "net/textcodec.h"

#include <QStringEncoder>
#include <QTest>

using namespace melodrift;

namespace {
QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}
} // namespace

class TestTextCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void autoDecodingFollowsTheLowerCaseMarkerInTheFirst1000Bytes_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        const QByteArray chinese = gbk(QStringLiteral("中文歌曲"));
        const QByteArray marker = "charset=gb2312";
        QTest::newRow("marker near start gives GBK")
            << QByteArray("<meta content=\"text/html; " + marker + "\">" + chinese)
            << QStringLiteral("<meta content=\"text/html; charset=gb2312\">中文歌曲");
        // The marker's 14 bytes end at byte 1000 when it starts at 987 (1-based): still inside.
        QTest::newRow("marker ending at byte 1000") << QByteArray(QByteArray(986, 'a') + marker + chinese)
                                                    << QString(QString(986, u'a') + u"charset=gb2312中文歌曲");
        QTest::newRow("marker starting at byte 988 is outside")
            << QByteArray(QByteArray(987, 'a') + marker + "\xE4\xB8\xAD")
            << QString(QString(987, u'a') + u"charset=gb2312中");
        QTest::newRow("capitals take the UTF-8 path")
            << QByteArray("charset=GB2312" + chinese) << QString::fromUtf8("charset=GB2312" + chinese);
        QTest::newRow("quoted name takes the UTF-8 path")
            << QByteArray("charset=\"gb2312\"\xE4\xB8\xAD") << QStringLiteral("charset=\"gb2312\"中");
        QTest::newRow("gbk declared takes the UTF-8 path")
            << QByteArray("charset=gbk\xE4\xB8\xAD") << QStringLiteral("charset=gbk中");
        QTest::newRow("UTF-8 page without marker")
            << QByteArray("<p>\xE4\xB8\xAD\xE6\x96\x87</p>") << QStringLiteral("<p>中文</p>");
        QTest::newRow("empty body") << QByteArray() << QString();
        QTest::newRow("invalid UTF-8 becomes replacement characters")
            << QByteArray("a\xFF\xFE"
                          "b")
            << QString(u"a" + QString(2, QChar(0xFFFD)) + u"b");
        QTest::newRow("invalid GBK becomes replacement characters")
            << QByteArray(marker + "\x81") << QString(u"charset=gb2312" + QString(1, QChar(0xFFFD)));
        QTest::newRow("euro sign in GBK") << QByteArray(marker + "\x80") << QStringLiteral("charset=gb2312€");
    }
    void autoDecodingFollowsTheLowerCaseMarkerInTheFirst1000Bytes()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        const std::optional<QString> text = DecodePage(body, QStringLiteral("auto"));
        QVERIFY(text.has_value());
        QCOMPARE(*text, expected);
    }

    void namedCharsetIgnoresTheMarker()
    {
        const QByteArray body = "charset=gb2312 " + gbk(QStringLiteral("中"));
        QCOMPARE(*DecodePage(body, QStringLiteral("GBK")), QStringLiteral("charset=gb2312 中"));
        // "AUTO" is not the selector "auto": it names a character set, and no such set exists.
        QVERIFY(!DecodePage(body, QStringLiteral("AUTO")).has_value());
        QCOMPARE(*DecodePage(QByteArray("\xE4\xB8\xAD"), QStringLiteral("UTF-8")), QStringLiteral("中"));
        QCOMPARE(*DecodePage(QByteArray(), QStringLiteral("no-such-charset")), QString());
    }

    void unknownCharsetIsAFailure()
    {
        QVERIFY(!BytesToText("abc", QStringLiteral("no-such-charset")).has_value());
        QVERIFY(!BytesToText("abc", QString()).has_value());
        QCOMPARE(*BytesToText("abc", QStringLiteral("ISO-8859-1")), QStringLiteral("abc"));
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
