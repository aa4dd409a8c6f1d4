#include "net/musicsite.h"
#include "net/pagefetch.h"
#include "search/resultloader.h"
#include "tests/support/siteproxy.h"

#include <QTest>
#include <QThread>
#include <QTimer>

using namespace melodrift;

namespace {
//! How a failed load is logged among the messages.
QString failed(int kind)
{
    return QStringLiteral("failed %1").arg(kind);
}
} // namespace

class TestResultLoader : public test::SiteSuite {
    Q_OBJECT

    std::unique_ptr<PageFetcher> m_fetcher;
    std::unique_ptr<ResultLoader> m_loader;
    QStringList m_titles;
    QStringList m_messages;

    //! False when the wait timed out: callers check it before reading what came.
    [[nodiscard]] bool waitIdle(int timeoutMs = 15000)
    {
        return QTest::qWaitFor([&] { return !m_loader->isLoading(); }, timeoutMs);
    }

private Q_SLOTS:
    void init()
    {
        m_site.clearRequests();
        m_site.setSlowMilliseconds(1500);
        m_fetcher = std::make_unique<PageFetcher>();
        m_fetcher->setStallTimeout(1000);
        m_loader = std::make_unique<ResultLoader>(m_fetcher.get());
        m_titles.clear();
        m_messages.clear();
        connect(m_loader.get(), &ResultLoader::rowFound, this,
                [this](const SongRow& song) { m_titles.append(song.title); });
        connect(m_loader.get(), &ResultLoader::pageDone, this, [this] { m_messages.append(u"done"_qs); });
        connect(m_loader.get(), &ResultLoader::failed, this,
                [this](const QString&, const Failure& failure) { m_messages.append(failed(failure.kind)); });
    }
    void cleanup()
    {
        m_loader.reset();
        m_fetcher.reset();
    }

    // A page is scraped whatever its status; a page that never came is said to have failed, and why.
    void everyFaultEndsTheLoadWithTheEventLoopRunning_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("last");
        const QString done = QStringLiteral("done");
        QTest::newRow("no answer") << QStringLiteral("_silent") << 0 << failed(Failure::TimedOut);
        QTest::newRow("reset mid-body") << QStringLiteral("_reset") << 0 << failed(Failure::Interrupted);
        QTest::newRow("404 with a body") << QStringLiteral("_404") << 6 << done;
        QTest::newRow("20 MiB body") << QStringLiteral("_huge") << 0 << failed(Failure::TooLarge);
        QTest::newRow("redirect loop") << QStringLiteral("_loop") << 0 << failed(Failure::RedirectLoop);
        QTest::newRow("site unreachable") << QString() << 0 << failed(Failure::Refused);
        QTest::newRow("UTF-8 page") << QStringLiteral("_utf8") << 3 << done;
        QTest::newRow("upper-case charset") << QStringLiteral("_upper") << 6 << done;
        QTest::newRow("pathological line") << QStringLiteral("_evil") << -1 << done;
    }
    void everyFaultEndsTheLoadWithTheEventLoopRunning()
    {
        QFETCH(QString, key);
        QFETCH(int, rows);
        QFETCH(QString, last);
        if (key.isEmpty())
            m_fetcher->manager()->setProxy(test::unreachableProxy());
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        timer.start(10);
        m_loader->LoadResultPage(SearchAddress(key));
        QVERIFY(waitIdle(30000));
        QVERIFY(ticks > 0);
        QVERIFY(!m_messages.isEmpty());
        QCOMPARE(m_messages.last(), last);
        if (rows >= 0)
            QCOMPARE(m_titles.size(), rows);
        else
            QVERIFY(!m_titles.isEmpty()); // the rows before the line stay
        if (key == u"_utf8")
            QCOMPARE(m_titles.first(), QStringLiteral("月光下的爱"));
        if (key == u"_upper")
            QVERIFY(m_titles.first() != QStringLiteral("月光下的爱"));
    }

    void titlesFromThePageStayLiteral()
    {
        QStringList ids;
        connect(m_loader.get(), &ResultLoader::rowFound, this, [&](const SongRow& song) { ids.append(song.id); });
        m_loader->LoadResultPage(SearchAddress(QStringLiteral("_markup")));
        QVERIFY(waitIdle());
        QCOMPARE(m_titles.size(), 5);
        QCOMPARE(m_titles[0], QStringLiteral("<b>x</b>"));
        QCOMPARE(m_titles[1], QStringLiteral("<img/src=x>"));
        QCOMPARE(m_titles[2], QStringLiteral("a\x01\x02"
                                             "b"));
        QCOMPARE(m_titles[4].size(), 10000);
        QCOMPARE(ids[0], QStringLiteral("<u1"));
    }

    // A new search drops the load it interrupts, wherever that load stands: its rows and texts stop.
    void supersedingStopsTheOldLoad_data()
    {
        QTest::addColumn<bool>("betweenSlices");
        QTest::newRow("before the page arrives") << false;
        QTest::newRow("while the rows come in slices") << true;
    }
    void supersedingStopsTheOldLoad()
    {
        QFETCH(bool, betweenSlices);
        auto startNewSearch = [this] {
            m_loader->supersede();
            m_titles.append(QStringLiteral("|"));
            m_loader->LoadResultPage(SearchAddress(QStringLiteral("Love")));
        };
        if (betweenSlices) {
            // The first row takes longer than a slice, so the rest wait for the next turn of the loop;
            // the new search comes in before that turn.
            connect(m_loader.get(), &ResultLoader::rowFound, this, [&] {
                if (m_titles.size() == 1) {
                    QThread::msleep(ResultLoader::kSliceMs + 4);
                    QTimer::singleShot(0, this, startNewSearch);
                }
            });
            m_loader->LoadResultPage(SearchAddress(QStringLiteral("月光")));
        } else {
            m_loader->LoadResultPage(SearchAddress(QStringLiteral("_slow")));
            m_loader->LoadResultPage(NextPageAddress(QStringLiteral("2"), QStringLiteral("_slow")));
            QTest::qWait(200);
            startNewSearch();
        }
        QVERIFY(waitIdle());
        QTest::qWait(betweenSlices ? 100 : 2000); // past the slow answer
        const QStringList after = m_titles.mid(m_titles.indexOf(u"|") + 1);
        QCOMPARE(after, (QStringList{QStringLiteral("Love-Letter"), QStringLiteral("Love-Me-Slowly")}));
        QCOMPARE(m_messages.count(u"done"_qs), 1);
        QVERIFY(!m_messages.isEmpty());
        QCOMPARE(m_messages.last(), u"done"_qs);
    }

    void pagesAreReportedInTheOrderAsked()
    {
        const QString key = QStringLiteral("中文歌曲 mp3");
        m_loader->LoadResultPage(SearchAddress(key));
        m_loader->LoadResultPage(NextPageAddress(QStringLiteral("2"), key));
        m_loader->LoadResultPage(NextPageAddress(QStringLiteral("3"), key));
        QVERIFY(waitIdle());
        QStringList expected;
        for (const site::Song& song : site::catalogue()) {
            if (song.chinese)
                expected.append(song.title);
        }
        QCOMPARE(m_titles, expected);
        QCOMPARE(m_messages.count(u"done"_qs), 3);
    }
};

QTEST_GUILESS_MAIN(TestResultLoader)
#include "tst_resultloader.moc"
