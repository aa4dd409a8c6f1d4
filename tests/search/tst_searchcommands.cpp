#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "net/pagefetch.h"
#include "search/searchcommands.h"
#include "site/demosite.h"
#include "tests/support/fakes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace melodrift;

namespace {
const QString kSearch = QStringLiteral("http://so.melodrift-music.example/so.asp?");
}

class TestSearchCommands : public QObject {
    Q_OBJECT

    site::DemoSite m_site;
    std::unique_ptr<test::TestWindow> m_w;
    QStringList m_status2;

    MainWindow& window() { return *m_w->window; }
    SongListBox& list() { return *window().QMListBox1(); }

    void waitIdle(int timeoutMs = 15000)
    {
        QVERIFY(QTest::qWaitFor([&] { return !window().search()->isLoading(); }, timeoutMs));
    }

    QStringList titles()
    {
        QStringList out;
        for (int row = 1; row <= list().ListCount(); ++row)
            out.append(list().ItemTitle(row));
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen());
        test::useSiteAsProxy(m_site);
    }
    void init()
    {
        m_site.clearRequests();
        m_site.setSlowMilliseconds(1500);
        m_w = std::make_unique<test::TestWindow>();
        window().fetcher()->setStallTimeout(1000);
        window().show();
        m_status2.clear();
        connect(window().StatusBar1(), &StatusBar::panelTextSet, this, [this](int panel, const QString& text) {
            if (panel == 2)
                m_status2.append(text);
        });
    }
    void cleanup() { m_w.reset(); }

    void searchSendsTheEncodedKeywordAndFillsTheList()
    {
        window().Text1()->setText(QStringLiteral("月光"));
        QTest::mouseClick(window().Command1(), Qt::LeftButton);
        waitIdle();
        QCOMPARE(m_site.requests(), {kSearch + u"key=%D4%C2%B9%E2"});
        QCOMPARE(list().ListCount(), 6);
        QCOMPARE(list().ItemTitle(1), QStringLiteral("月光下的爱"));
        QCOMPARE(list().ItemId(1), QStringLiteral("100001"));
        QCOMPARE(list().ItemId(6), QStringLiteral("100006"));
        QCOMPARE(m_status2.size(), 8);
        QCOMPARE(m_status2.first(), QStringLiteral("骚年,正在玩命的搜索，请耐心一下。。。"));
        QCOMPARE(m_status2.at(1), QStringLiteral("找到：www.melodrift-music.example/play/100001>月光下的爱"));
        QCOMPARE(m_status2.last(), QStringLiteral("搜索结束！"));
        QCOMPARE(window().search()->PageNo(), QStringLiteral("1"));
    }

    void enterInTheKeywordBoxSearchesLikeTheButton()
    {
        window().Text1()->setText(QStringLiteral("中文歌曲 mp3"));
        QTest::keyClick(window().Text1(), Qt::Key_Return);
        waitIdle();
        QCOMPARE(m_site.requests(), {kSearch + u"key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3"});
        QCOMPARE(list().ListCount(), site::DemoSite::kPageSize);
        // Other keys do not search.
        QTest::keyClick(window().Text1(), Qt::Key_A);
        QTest::qWait(100);
        QCOMPARE(m_site.requests().size(), 1);
        QCOMPARE(window().Text1()->text(), QStringLiteral("中文歌曲 mp3a"));
    }

    void emptyKeywordIsSentEmpty()
    {
        QTest::keyClick(window().Text1(), Qt::Key_Enter);
        waitIdle();
        QCOMPARE(m_site.requests(), {kSearch + u"key="});
    }

    void fastPagingAppendsPagesInTheOrderClicked()
    {
        window().Text1()->setText(QStringLiteral("中文歌曲 mp3"));
        window().search()->Command1_Click();
        window().search()->Command2_Click();
        window().search()->Command2_Click();
        QCOMPARE(m_status2.last(), QStringLiteral("骚年,正在玩命的翻页。。。。"));
        waitIdle();
        const QString key = QStringLiteral("key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3");
        QCOMPARE(m_site.requests(),
                 (QStringList{kSearch + key, kSearch + u"page=2&" + key, kSearch + u"page=3&" + key}));
        QStringList expected;
        for (const site::Song& song : site::catalogue()) {
            if (song.chinese)
                expected.append(song.title);
        }
        QCOMPARE(titles(), expected);
        QCOMPARE(window().search()->PageNo(), QStringLiteral("3"));
        QCOMPARE(m_status2.last(), QStringLiteral("搜索结束！"));
    }

    void nextPageBeforeAnySearchAsksForPageTwo()
    {
        window().Text1()->setText(QStringLiteral("Love"));
        QTest::mouseClick(window().Command2(), Qt::LeftButton);
        waitIdle();
        QCOMPARE(m_site.requests(), {kSearch + u"page=2&key=Love"});
    }

    void newSearchAfterPagingStartsAgainAtPageOne()
    {
        window().Text1()->setText(QStringLiteral("Love"));
        window().search()->Command2_Click();
        window().search()->Command2_Click();
        waitIdle();
        window().search()->Command1_Click();
        waitIdle();
        QCOMPARE(m_site.requests().last(), QString(kSearch + u"key=Love"));
        QCOMPARE(window().search()->PageNo(), QStringLiteral("1"));
        QCOMPARE(titles(), (QStringList{QStringLiteral("Love-Letter"), QStringLiteral("Love-Me-Slowly")}));
    }

    void newSearchSupersedesASlowLoad()
    {
        window().Text1()->setText(QStringLiteral("_slow"));
        window().search()->Command1_Click();
        window().search()->Command2_Click();
        QTest::qWait(200);
        window().Text1()->setText(QStringLiteral("月光"));
        const qsizetype mark = m_status2.size();
        window().search()->Command1_Click();
        waitIdle();
        QTest::qWait(2000); // past the slow answer
        QCOMPARE(list().ListCount(), 6);
        QCOMPARE(list().ItemTitle(1), QStringLiteral("月光下的爱"));
        QCOMPARE(m_status2.last(), QStringLiteral("搜索结束！"));
        for (qsizetype i = mark; i < m_status2.size(); ++i)
            QVERIFY2(!m_status2[i].contains(u"晚霞"), qPrintable(m_status2[i]));
        QCOMPARE(m_status2.count(QStringLiteral("搜索结束！")), 1);
    }

    void everyFaultEndsTheLoadWithTheWindowResponsive_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("rows");
        QTest::newRow("no answer") << QStringLiteral("_silent") << 0;
        QTest::newRow("reset mid-body") << QStringLiteral("_reset") << 0;
        QTest::newRow("404 with a body") << QStringLiteral("_404") << 6;
        QTest::newRow("20 MiB body") << QStringLiteral("_huge") << 0;
        QTest::newRow("redirect loop") << QStringLiteral("_loop") << 0;
        QTest::newRow("UTF-8 page") << QStringLiteral("_utf8") << 3;
        QTest::newRow("upper-case charset") << QStringLiteral("_upper") << 6;
        QTest::newRow("pathological line") << QStringLiteral("_evil") << -1;
    }
    void everyFaultEndsTheLoadWithTheWindowResponsive()
    {
        QFETCH(QString, key);
        QFETCH(int, rows);
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        timer.start(10);
        window().Text1()->setText(key);
        window().search()->Command1_Click();
        waitIdle(30000);
        QVERIFY(ticks > 0);
        QCOMPARE(m_status2.last(), QStringLiteral("搜索结束！"));
        if (rows >= 0)
            QCOMPARE(list().ListCount(), rows);
        else
            QVERIFY(list().ListCount() >= 1); // the rows before the line stay
        if (key == u"_utf8")
            QCOMPARE(list().ItemTitle(1), QStringLiteral("月光下的爱"));
        if (key == u"_upper")
            QVERIFY(list().ItemTitle(1) != QStringLiteral("月光下的爱"));
    }

    void titlesWithMarkupStayLiteral()
    {
        window().Text1()->setText(QStringLiteral("_markup"));
        window().search()->Command1_Click();
        waitIdle();
        QCOMPARE(list().ListCount(), 5);
        QCOMPARE(list().ItemTitle(1), QStringLiteral("<b>x</b>"));
        QCOMPARE(list().ItemTitle(2), QStringLiteral("<img/src=x>"));
        QCOMPARE(list().ItemTitle(3), QStringLiteral("a\x01\x02"
                                                     "b"));
        QCOMPARE(list().ItemTitle(5).size(), 10000);
        QCOMPARE(list().ItemId(1), QStringLiteral("<u1"));
        window().repaint();
    }

    void closingTheWindowDuringALoadIsClean()
    {
        window().Text1()->setText(QStringLiteral("_silent"));
        window().search()->Command1_Click();
        QTest::qWait(100);
        QVERIFY(window().search()->isLoading());
        m_w.reset();
        QTest::qWait(200);
    }

    void pageNumberCountsAsANumber_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("1") << QStringLiteral("1") << QStringLiteral("2");
        QTest::newRow("9") << QStringLiteral("9") << QStringLiteral("10");
        QTest::newRow("99999") << QStringLiteral("99999") << QStringLiteral("100000");
    }
    void pageNumberCountsAsANumber()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(NextPageNo(before), after);
    }
};

QTEST_MAIN(TestSearchCommands)
#include "tst_searchcommands.moc"
