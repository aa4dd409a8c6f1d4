// Run once per fake default browser (MELODRIFT_TEST_BROWSER): GIO reads the desktop's
// defaults once per process.
#include "browser/browsercommands.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "net/musicsite.h"
#include "tests/support/fakes.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

using namespace melodrift;

class TestXdgBrowser : public QObject {
    Q_OBJECT
public:
    explicit TestXdgBrowser(test::FakeXdgBrowser* browser, QString name) : m_browser(browser), m_name(std::move(name))
    {
    }

private:
    test::FakeXdgBrowser* m_browser;
    QString m_name;

    struct Window {
        std::shared_ptr<GioDesktopLauncher> launcher = std::make_shared<GioDesktopLauncher>();
        std::shared_ptr<test::FakeDialogs> dialogs = std::make_shared<test::FakeDialogs>();
        MainWindow window{MainWindowPlatform{QString(), launcher, dialogs, new test::FakePlayer}};
    };

private Q_SLOTS:
    void gioGivesTheFakeBrowser()
    {
        GioDesktopLauncher launcher;
        QVERIFY2(launcher.httpOpenCommand().contains(m_browser->programPath()), qPrintable(launcher.httpOpenCommand()));
        QCOMPARE(GetDefaultBrowser(launcher), m_name);
    }

    void startupReportsWhetherThe360BrowserIsInstalled()
    {
        Window w;
        w.window.Form_Load();
        // The start-up check ignores case.
        if (m_name.toLower() == u"360se") {
            QCOMPARE(w.window.StatusBar1()->panelText(2), QStringLiteral("已安装360浏览器"));
            QVERIFY(w.dialogs->warnings.isEmpty());
        } else {
            QCOMPARE(w.window.StatusBar1()->panelText(2), QStringLiteral("未安装360浏览器！"));
            QCOMPARE(w.dialogs->warnings.size(), 1);
            QCOMPARE(w.dialogs->warnings[0].text, QStringLiteral("检测到没有安装360安全浏览器！"));
        }
    }

    void realAddressOpensTheSongPageOnlyInA360Browser()
    {
        Window w;
        SongListBox* list = w.window.QMListBox1();
        for (int i = 1; i <= 4; ++i)
            list->AddItem(QStringLiteral("T%1").arg(i), QStringLiteral("50%1").arg(i), QStringLiteral("50%1").arg(i),
                          0);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(20, 2 * 18 + 9));
        QCOMPARE(w.window.playbackState().MenuRow, 3);
        QStringList openedDuringBox{QStringLiteral("not asked")};
        w.dialogs->onWarn = [&] { openedDuringBox = m_browser->opened(); };
        w.window.Menu()->hide();
        w.window.se360()->trigger();
        // The check for the real-address command is case-sensitive.
        if (m_name == u"360se") {
            QTRY_COMPARE(m_browser->opened(), QStringList{SongPageUrl(QStringLiteral("503"))});
            QVERIFY(w.dialogs->warnings.isEmpty());
        } else {
            QCOMPARE(w.dialogs->warnings.size(), 1);
            QCOMPARE(w.dialogs->warnings[0].title, QStringLiteral("默认不是360安全浏览器"));
            QCOMPARE(w.dialogs->warnings[0].text,
                     QStringLiteral("检测到当前不是360安全浏览器无法获取到真实的Mp3地址，请下载安装吧！"));
            QCOMPARE(openedDuringBox, QStringList());
            QTRY_COMPARE(m_browser->opened(),
                         QStringList{QStringLiteral("http://down.360se-browser.example/inst.exe")});
        }
        QFile::remove(m_browser->recordFile());
    }

    // The desktop names a browser that cannot be started: the launch says why instead of nothing.
    void aBrowserThatCannotStartSaysWhy()
    {
        const QString program = m_browser->programPath();
        QVERIFY(QFile::rename(program, program + u".gone"));
        GioDesktopLauncher launcher;
        const Failure failure = launcher.openUrl(SongPageUrl(QStringLiteral("501")));
        QVERIFY(QFile::rename(program + u".gone", program));
        QCOMPARE(failure.kind, Failure::LaunchError); // a launch that cannot start is no success
        QVERIFY(!failure.detail.isEmpty());
        QVERIFY(m_browser->opened().isEmpty());
    }
};

int main(int argc, char* argv[])
{
    const QString name = qEnvironmentVariable("MELODRIFT_TEST_BROWSER", QStringLiteral("360se"));
    test::FakeXdgBrowser browser(name);
    QApplication app(argc, argv);
    TestXdgBrowser test(&browser, name);
    return QTest::qExec(&test, argc, argv);
}
#include "tst_xdgbrowser.moc"
