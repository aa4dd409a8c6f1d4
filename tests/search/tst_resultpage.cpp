#include "net/musicsite.h"
#include "search/resultpage.h"

#include <QTest>

using namespace melodrift;

namespace {
const QString kHost = QStringLiteral("music.test");

QString line(const QString& text)
{
    QString result = text;
    result.replace(QStringLiteral("(host)"), kHost);
    return result + u"\r\n";
}

QString rows(const QList<SongLink>& links)
{
    QStringList out;
    for (const SongLink& link : links)
        out.append(link.song.title + u'|' + link.song.id);
    return out.join(u';');
}
} // namespace

class TestResultPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linesGiveExactlyTheirRows_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");
        QTest::newRow("song link followed by a link")
            << line(QStringLiteral("href=\"http://(host)/play/123456.htm\">SongTitle</a><a href=\"/s/9.htm\" "
                                   "target=\"_blank\">Singer</a>"))
            << QStringLiteral("SongTitle|123456");
        QTest::newRow("lone link: capture stops before the quote")
            << line(QStringLiteral("href=\"http://(host)/play/123.htm\">Title</a>")) << QString();
        QTest::newRow("attribute after the address")
            << line(QStringLiteral(
                   "href=\"http://(host)/play/123.htm\" target=\"_1\">Title</a><a href=\"/s/1.htm\">S</a>"))
            << QString();
        QTest::newRow("title ends at the first blank")
            << line(QStringLiteral("href=\"http://(host)/play/77.htm\">Song Name</a><a href=\"/s/1.htm\">Si</a>"))
            << QStringLiteral("Song|77");
        QTest::newRow("second song link lies inside the first match")
            << line(QStringLiteral("href=\"http://(host)/play/5.htm\">T</a><a "
                                   "href=\"http://(host)/play/6.htm\">U</a><a href=\"http://(host)/x.htm\">V</a>"))
            << QStringLiteral("T|5");
        QTest::newRow("link that is not a song link")
            << line(QStringLiteral("href=\"http://(host)/singer/9.htm\">Singer</a><a href=\"/s/2.htm\">X</a>"))
            << QString(QStringLiteral("Singer|") + kHost + u"/singer/9");
        QTest::newRow("case ignored by the pattern, not by the clean-up")
            << line(QStringLiteral("href=\"http://(host)/play/1.htm\">T</A><A href=\"/s/2.htm\">X</a>"))
            << QStringLiteral("T</A><A|1");
        QTest::newRow("private-use characters removed from the title")
            << line(u"href=\"http://(host)/play/8.htm\">X" + QString(QChar(0xE7FF)) + u"Y" + QString(7, QChar(0xE814)) +
                    u"Z</a><a href=\"/s/2.htm\">S</a>")
            << QString(u"XY" + QString(2, QChar(0xE814)) + u"Z|8");
        QTest::newRow("equals sign after /play/ is kept in the ID")
            << line(QStringLiteral("href=\"http://(host)/play/a=b.htm\">Name</a><a href=\"/s/2.htm\">S</a>"))
            << QStringLiteral("Name|a=b");
        QTest::newRow("equals sign in the address gives the part after it")
            << line(QStringLiteral("href=\"http://(host)/down.asp?id=42\">Name</a><a href=\"/s/2.htm\">S</a>"))
            << QStringLiteral("Name|42");
        QTest::newRow("rows in page order")
            << QString(line(QStringLiteral("href=\"http://(host)/play/1.htm\">A</a><a href=\"/s/1.htm\">x</a>")) +
                       line(QStringLiteral("<li>junk</li>")) +
                       line(QStringLiteral("href='http://(host)/play/2.htm\">B</a><a href=\"/s/1.htm\">x</a>")))
            << QStringLiteral("A|1;B|2");
        const QString link = line(QStringLiteral("href=\"http://(host)/play/1.htm\">A</a><a href=\"/s/1.htm\">x</a>"));
        QTest::newRow("links outside the result stretch are ignored")
            << QString(link + u"<span class=\"songNum\">" + QString(link).replace(u"/1."_qs, u"/2."_qs) + u"soBottom" +
                       link)
            << QStringLiteral("A|2");
        QTest::newRow("empty page") << QString() << QString();
    }
    void linesGiveExactlyTheirRows()
    {
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QCOMPARE(rows(ScrapeResultPage(page, kHost)), expected);
    }

    void foundTextIsTheCleanedCapture()
    {
        const QList<SongLink> links =
            ScrapeResultPage(line(QStringLiteral("href=\"http://(host)/play/123456.htm\">SongTitle</a><a "
                                                 "href=\"/s/9.htm\" target=\"_blank\">Singer</a>")),
                             kHost);
        QCOMPARE(links.size(), 1);
        QCOMPARE(links[0].found, QString(kHost + u"/play/123456>SongTitle"));
    }

    void resultStretchIsCutByTheMarkers_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("stretch");
        QTest::newRow("both markers") << QStringLiteral("head<b class=\"songNum\">1 rows soBottom tail")
                                      << QStringLiteral("lass=\"songNum\">1 rows ");
        QTest::newRow("no start marker") << QStringLiteral("rows soBottom tail") << QStringLiteral("rows ");
        QTest::newRow("no end marker") << QStringLiteral("x class=\"songNum\">rows")
                                       << QStringLiteral("lass=\"songNum\">rows");
        QTest::newRow("end marker before the start marker has no effect")
            << QStringLiteral("soBottom class=\"songNum\">rows") << QStringLiteral("lass=\"songNum\">rows");
        QTest::newRow("end marker right at the start leaves nothing") << QStringLiteral("soBottom") << QString();
        // Bytes of these characters spell "soBottom" one byte off; that is no marker.
        const char16_t offByOne[] = {0x7341, 0x6F00, 0x4200, 0x6F00, 0x7400, 0x7400, 0x6F00, 0x6D00, 0x0041, 0};
        QTest::newRow("marker bytes across characters") << QString(QString::fromUtf16(offByOne) + u"rows soBottom")
                                                        << QString(QString::fromUtf16(offByOne) + u"rows ");
        QTest::newRow("markers are case-sensitive")
            << QStringLiteral("CLASS=\"SONGNUM\" sobottom") << QStringLiteral("CLASS=\"SONGNUM\" sobottom");
    }
    void resultStretchIsCutByTheMarkers()
    {
        QFETCH(QString, page);
        QFETCH(QString, stretch);
        QCOMPARE(CutResultStretch(page).toString(), stretch);
    }

    void addressesAndPageNumbers_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a result address keeps its scheme")
            << NormalizeResultAddress(QStringLiteral("http://h/so.asp?key=a"))
            << QStringLiteral("http://h/so.asp?key=a");
        QTest::newRow("one without gets one")
            << NormalizeResultAddress(QStringLiteral("h/so.asp")) << QStringLiteral("http://h/so.asp");
        QTest::newRow("an inner scheme is removed")
            << NormalizeResultAddress(QStringLiteral("http://h/x?u=http://y")) << QStringLiteral("http://h/x?u=y");
        QTest::newRow("search") << SearchAddress(QStringLiteral("中文歌曲 mp3"))
                                << QStringLiteral(
                                       "http://so.melodrift-music.example/so.asp?key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3");
        QTest::newRow("next page") << NextPageAddress(NextPageNo(QStringLiteral("1")), QStringLiteral("C++"))
                                   << QStringLiteral("http://so.melodrift-music.example/so.asp?page=2&key=C%2B%2B");
        QTest::newRow("page 9 to 10") << NextPageNo(QStringLiteral("9")) << QStringLiteral("10");
        QTest::newRow("page 99999") << NextPageNo(QStringLiteral("99999")) << QStringLiteral("100000");
    }
    void addressesAndPageNumbers()
    {
        QFETCH(QString, address);
        QFETCH(QString, expected);
        QCOMPARE(address, expected);
    }

    void pathologicalLineEndsTheMatchingWithTheRowsFoundSoFar()
    {
        const QString good = line(QStringLiteral("href=\"http://(host)/play/1.htm\">A</a><a href=\"/s/1.htm\">x</a>"));
        const QString evil = u"href=\"http://" + QStringLiteral("x>").repeated(30000) + u"\r\n";
        const QString page = good + evil + good;
        const QList<SongLink> links = ScrapeResultPage(page, kHost);
        QVERIFY(!links.isEmpty());
        QCOMPARE(links.first().song.id, QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestResultPage)
#include "tst_resultpage.moc"
