#include "net/pagefetch.h"
#include "site/demosite.h"
#include "tests/support/siteproxy.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace melodrift;

class TestPageFetch : public test::SiteSuite {
    Q_OBJECT

    std::unique_ptr<PageFetcher> m_fetcher;

    struct Result {
        bool done = false;
        FetchedPage page;
    };

    std::shared_ptr<Result> start(const QString& url, const QString& charset = QStringLiteral("auto"))
    {
        auto result = std::make_shared<Result>();
        m_fetcher->GetHtml(url, charset, this, [result](const FetchedPage& page) {
            result->done = true;
            result->page = page;
        });
        return result;
    }

    FetchedPage fetch(const QString& url, const QString& charset = QStringLiteral("auto"))
    {
        const auto result = start(url, charset);
        if (!QTest::qWaitFor([&] { return result->done; }, 20000))
            qFatal("fetch did not end");
        return result->page;
    }

private Q_SLOTS:
    void init()
    {
        m_fetcher = std::make_unique<PageFetcher>();
        m_site.clearRequests();
        m_site.setSongMilliseconds(3000); // songs fetched whole here
    }

    void decodesAGb2312PageThroughTheProxy()
    {
        const FetchedPage page = fetch(QStringLiteral("http://so.melodrift-music.example/so.asp?key=%D4%C2%B9%E2"));
        QVERIFY(page.ok());
        QVERIFY(page.text.contains(u"月光下的爱"));
        QCOMPARE(m_site.requests(), {QStringLiteral("http://so.melodrift-music.example/so.asp?key=%D4%C2%B9%E2")});
    }

    void sendsTheAddressExactlyAsGiven()
    {
        const QString url = QStringLiteral("http://so.melodrift-music.example/so.asp?page=2&key=%D6%D0%20%2B%26%3D%25");
        QVERIFY(fetch(url).ok());
        QCOMPARE(m_site.requests(), {url});
        // Escapes of unreserved characters name the same address; Qt sends the characters themselves.
        QVERIFY(fetch(QStringLiteral("http://so.melodrift-music.example/so.asp?key=%5F%7E")).ok());
        QCOMPARE(m_site.requests().last(), QStringLiteral("http://so.melodrift-music.example/so.asp?key=_~"));
    }

    void returnsTheBodyOfAnErrorStatus()
    {
        const FetchedPage page = fetch(QStringLiteral("http://so.melodrift-music.example/so.asp?key=_404"));
        QVERIFY(page.ok());
        QVERIFY(page.text.contains(u"月光下的爱"));
        const FetchedPage missing = fetch(QStringLiteral("http://www.melodrift-music.example/nothing"));
        QCOMPARE(missing.text, QStringLiteral("<html><body>404 Not Found</body></html>"));
    }

    void followsRedirects()
    {
        const FetchedPage page = fetch(QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=100001"));
        QVERIFY(page.ok());
        QVERIFY(page.text.startsWith(u"ID3"));
        QCOMPARE(m_site.requests().size(), 2);
        QCOMPARE(m_site.requests().at(1), QStringLiteral("http://www.melodrift-music.example/audio/100001.mp3"));
    }

    void failsWithAReason_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("charset");
        QTest::addColumn<int>("kind");
        const QString automatic = QStringLiteral("auto");
        QTest::newRow("no answer until the stall time-out")
            << QStringLiteral("_silent") << automatic << +Failure::TimedOut;
        QTest::newRow("connection reset mid-body") << QStringLiteral("_reset") << automatic << +Failure::Interrupted;
        QTest::newRow("body over 16 MiB") << QStringLiteral("_huge") << automatic << +Failure::TooLarge;
        QTest::newRow("chunked body over 16 MiB") << QStringLiteral("_hugechunked") << automatic << +Failure::TooLarge;
        QTest::newRow("redirect loop") << QStringLiteral("_loop") << automatic << +Failure::RedirectLoop;
        QTest::newRow("unknown charset") << QStringLiteral("x") << QStringLiteral("x-none") << +Failure::Undecodable;
        QTest::newRow("site unreachable") << QString() << automatic << +Failure::Refused;
    }
    void failsWithAReason()
    {
        QFETCH(QString, key);
        QFETCH(QString, charset);
        QFETCH(int, kind);
        m_fetcher->setStallTimeout(500);
        if (key.isEmpty())
            m_fetcher->manager()->setProxy(test::unreachableProxy());
        const FetchedPage page = fetch(u"http://so.melodrift-music.example/so.asp?key=" + key, charset);
        QCOMPARE(page.failure.kind, kind);
        QVERIFY(page.text.isEmpty());
    }

    void eventLoopRunsWhileAPageLoads()
    {
        m_site.setSlowMilliseconds(600);
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        timer.start(20);
        const auto result = start(QStringLiteral("http://so.melodrift-music.example/so.asp?key=_slow"));
        QVERIFY(!result->done);
        QTRY_VERIFY_WITH_TIMEOUT(result->done, 10000);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY(result->page.ok());
    }

    // The demo site serves songs as a music site does: tagged MP3 files, by byte range when asked.
    void songsAreTaggedMp3sServedByRange_data()
    {
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("from"); // -1: the last 128 bytes
        QTest::addColumn<int>("length");
        QTest::newRow("whole file") << QByteArray() << 200 << 0 << -1;
        QTest::newRow("a middle range") << QByteArray("bytes=10-19") << 206 << 10 << 10;
        QTest::newRow("from an offset to the end") << QByteArray("bytes=100-") << 206 << 100 << -1;
        QTest::newRow("the ID3v1 tag at the end") << QByteArray("bytes=-128") << 206 << -1 << 128;
        QTest::newRow("past the end") << QByteArray("bytes=99999999-") << 416 << 0 << 0;
    }
    void songsAreTaggedMp3sServedByRange()
    {
        QFETCH(QByteArray, range);
        QFETCH(int, status);
        QFETCH(int, from);
        QFETCH(int, length);
        const QByteArray file = m_site.songFile(QStringLiteral("100005"));
        QVERIFY(file.startsWith("ID3"));
        QCOMPARE(file.mid(file.size() - 128, 3), QByteArray("TAG"));
        QNetworkRequest request(QUrl(QStringLiteral("http://www.melodrift-music.example/audio/100005.mp3")));
        if (!range.isEmpty())
            request.setRawHeader("Range", range);
        QNetworkReply* reply = m_fetcher->manager()->get(request);
        QVERIFY(QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000));
        reply->deleteLater();
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
        if (status == 416)
            return;
        const qsizetype start = from < 0 ? file.size() - 128 : from;
        QCOMPARE(reply->readAll(), file.mid(start, length));
        QCOMPARE(m_site.ranges().last(), range);
    }

    void noAnswerReachesADestroyedReader()
    {
        m_site.setSlowMilliseconds(300);
        bool called = false;
        auto reader = std::make_unique<QObject>();
        QNetworkReply* reply =
            m_fetcher->GetHtml(QStringLiteral("http://so.melodrift-music.example/so.asp?key=_slow"),
                               QStringLiteral("auto"), reader.get(), [&called](const FetchedPage&) { called = true; });
        QSignalSpy finished(reply, &QNetworkReply::finished);
        reader.reset();
        // The fetch is stopped at once rather than left running.
        QVERIFY(finished.count() == 1 || finished.wait(2000));
        QTest::qWait(500);
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(TestPageFetch)
#include "tst_pagefetch.moc"
