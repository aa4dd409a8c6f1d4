#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "net/pagefetch.h"
#include "search/searchcommands.h"
#include "tests/support/fakes.h"
#include "tests/support/siteproxy.h"

#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTest>

using namespace melodrift;

namespace {
const QString kSearch = QStringLiteral("http://so.melodrift-music.example/so.asp?");
}

class TestSearchCommands : public test::SiteSuite {
    Q_OBJECT

    std::unique_ptr<test::TestWindow> m_w;
    QStringList m_status2;

    MainWindow& window() { return *m_w->window; }
    SongListBox& list() { return *window().QMListBox1(); }

    //! False when the wait timed out: callers check it before reading what came.
    [[nodiscard]] bool waitIdle(int timeoutMs = 15000)
    {
        return QTest::qWaitFor([&] { return !window().search()->isLoading(); }, timeoutMs);
    }

    QStringList titles()
    {
        QStringList out;
        for (int row = 1; row <= list().ListCount(); ++row)
            out.append(list().ItemTitle(row));
        return out;
    }

private Q_SLOTS:
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
        QVERIFY(waitIdle());
        QCOMPARE(m_site.requests(), {kSearch + u"key=%D4%C2%B9%E2"});
        QCOMPARE(list().ListCount(), 6);
        QCOMPARE(list().ItemTitle(1), QStringLiteral("月光下的爱"));
        QCOMPARE(list().ItemId(1), QStringLiteral("100001"));
        QCOMPARE(list().ItemId(6), QStringLiteral("100006"));
        QCOMPARE(m_status2.size(), 8);
        QCOMPARE(m_status2.first(), QStringLiteral("骚年,正在玩命的搜索，请耐心一下。。。"));
        QCOMPARE(m_status2.at(1), QStringLiteral("找到：www.melodrift-music.example/play/100001>月光下的爱"));
        QVERIFY(!m_status2.isEmpty());
        QCOMPARE(m_status2.last(), QStringLiteral("搜索结束！"));
        QCOMPARE(window().search()->PageNo(), QStringLiteral("1"));
    }

    // Enter in the keyword box searches as the button does; other keys only type.
    void eachWayOfAskingSendsItsAddress_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("key"); // 0: the next-page button
        QTest::addColumn<QString>("query");
        QTest::newRow("Enter") << QStringLiteral("中文歌曲 mp3") << int(Qt::Key_Return)
                               << QStringLiteral("key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3");
        QTest::newRow("an empty keyword is sent empty") << QString() << int(Qt::Key_Enter) << QStringLiteral("key=");
        QTest::newRow("next page before any search")
            << QStringLiteral("Love") << 0 << QStringLiteral("page=2&key=Love");
    }
    void eachWayOfAskingSendsItsAddress()
    {
        QFETCH(QString, keyword);
        QFETCH(int, key);
        QFETCH(QString, query);
        window().Text1()->setText(keyword);
        if (key != 0)
            QTest::keyClick(window().Text1(), Qt::Key(key));
        else
            QTest::mouseClick(window().Command2(), Qt::LeftButton);
        QVERIFY(waitIdle());
        QTest::keyClick(window().Text1(), Qt::Key_A);
        QTest::qWait(100);
        QCOMPARE(m_site.requests(), {kSearch + query});
        QCOMPARE(window().Text1()->text(), QString(keyword + u'a'));
    }

    void fastPagingAppendsPagesInTheOrderClicked()
    {
        window().Text1()->setText(QStringLiteral("中文歌曲 mp3"));
        window().search()->Command1_Click();
        window().search()->Command2_Click();
        window().search()->Command2_Click();
        QCOMPARE(m_status2.last(), QStringLiteral("骚年,正在玩命的翻页。。。。"));
        QVERIFY(waitIdle());
        const QString key = QStringLiteral("key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3");
        QCOMPARE(m_site.requests(),
                 (QStringList{kSearch + key, kSearch + u"page=2&" + key, kSearch + u"page=3&" + key}));
        // The rows' order is the loader's (tst_resultloader); here, that every page reaches the list.
        QCOMPARE(list().ListCount(), 48);
        QCOMPARE(window().search()->PageNo(), QStringLiteral("3"));
        QVERIFY(!m_status2.isEmpty());
        QCOMPARE(m_status2.last(), QStringLiteral("搜索结束！"));
    }

    void newSearchAfterPagingStartsAgainAtPageOne()
    {
        window().Text1()->setText(QStringLiteral("Love"));
        window().search()->Command2_Click();
        window().search()->Command2_Click();
        QVERIFY(waitIdle());
        window().search()->Command1_Click();
        QVERIFY(waitIdle());
        QCOMPARE(m_site.requests().last(), QString(kSearch + u"key=Love"));
        QCOMPARE(window().search()->PageNo(), QStringLiteral("1"));
        QCOMPARE(titles(), (QStringList{QStringLiteral("Love-Letter"), QStringLiteral("Love-Me-Slowly")}));
    }

    // A dead network is not a keyword that found nothing: panel 2 says the search failed and why.
    // "翻页" did not turn the page. A page the site sends with an error status is still an answer.
    void aPageThatCannotComeSaysWhyAndKeepsTheRows_data()
    {
        QTest::addColumn<bool>("nextPage");
        QTest::addColumn<QString>("keyword"); // "" for a site that cannot be reached
        QTest::addColumn<QString>("reason");  // "" for an answer
        QTest::newRow("search, site unreachable") << false << QString() << QStringLiteral("连接被拒绝");
        QTest::newRow("search, page hangs") << false << u"_silent"_qs << QStringLiteral("连接超时");
        QTest::newRow("next page, site unreachable") << true << QString() << QStringLiteral("连接被拒绝");
        QTest::newRow("next page, page hangs") << true << u"_silent"_qs << QStringLiteral("连接超时");
        QTest::newRow("search, a 500 page that lists songs") << false << u"_500"_qs << QString();
    }
    void aPageThatCannotComeSaysWhyAndKeepsTheRows()
    {
        QFETCH(bool, nextPage);
        QFETCH(QString, keyword);
        QFETCH(QString, reason);
        window().Text1()->setText(QStringLiteral("月光"));
        window().search()->Command1_Click();
        QVERIFY(waitIdle());
        QCOMPARE(list().ListCount(), 6);
        if (keyword.isEmpty())
            window().fetcher()->manager()->setProxy(test::unreachableProxy());
        else
            window().Text1()->setText(keyword);
        if (nextPage)
            window().search()->Command2_Click();
        else
            window().search()->Command1_Click();
        QVERIFY(waitIdle());
        QVERIFY(!m_status2.isEmpty());
        if (reason.isEmpty()) {
            QVERIFY(m_status2.filter(u"搜索失败"_qs).isEmpty());
            QCOMPARE(list().ListCount(), 6); // the error page's songs
            QCOMPARE(m_status2.last(), u"搜索结束！"_qs);
            return;
        }
        QCOMPARE(m_status2.last(), QString(u"搜索失败：" + reason));
        QCOMPARE(list().ListCount(), nextPage ? 6 : 0);
        QCOMPARE(window().search()->PageNo(), QStringLiteral("1")); // a page that did not come is asked again
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
};

QTEST_MAIN(TestSearchCommands)
#include "tst_searchcommands.moc"
