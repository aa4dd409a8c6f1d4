#include "browser/browsercommands.h"
#include "browser/filename.h"
#include "browser/navigator.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "site/demosite.h"
#include "tests/support/fakes.h"

#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace melodrift;

class TestBrowserCommands : public test::SiteSuite {
    Q_OBJECT

    std::unique_ptr<test::TestWindow> m_w;
    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_status2;
    QString m_mounted;
    QString m_saveFolder; // where downloads go

    MainWindow& window() { return *m_w->window; }
    SongListBox& list() { return *window().QMListBox1(); }

    void addRow(const QString& title, const QString& id) { list().AddItem(title, id, id, 0); }
    //! Opens the menu on a row (or below the rows) as a right-click does.
    void menuOn(int row)
    {
        QTest::mouseClick(list().viewport(), Qt::RightButton, {}, QPoint(20, (row - 1) * 18 + 9));
        window().Menu()->hide();
    }
    //! Every file left where downloads go, hidden ones included.
    QStringList savedFiles() { return QDir(m_saveFolder).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    //! A filesystem of 256 KB (tmpfs, more `options`) where downloads go; "" where it cannot be had.
    QString mountSmallDisk(const QString& options)
    {
        const QString disk = QDir(m_folder->path()).filePath(QStringLiteral("disk"));
        QDir().mkpath(disk);
        const QStringList how{u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size=256k,"_qs + options, u"tmpfs"_qs, disk};
        if (QProcess::execute(QStringLiteral("mount"), how) != 0)
            return {};
        return m_mounted = m_saveFolder = disk;
    }
    //! False when the wait timed out: callers check it before reading what came.
    [[nodiscard]] bool waitForNotices(int count)
    {
        return QTest::qWaitFor([&] { return m_w->dialogs->notices.size() >= count; }, 15000);
    }

private Q_SLOTS:
    void init()
    {
        m_site.clearRequests();
        m_site.setSongMilliseconds(500); // saved whole and compared here
        m_w = std::make_unique<test::TestWindow>();
        m_folder = std::make_unique<QTemporaryDir>();
        m_saveFolder = m_folder->path();
        m_w->dialogs->saveFolder = m_saveFolder;
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        m_status2.clear();
        connect(window().StatusBar1(), &StatusBar::panelTextSet, this, [this](int panel, const QString& text) {
            if (panel == 2)
                m_status2.append(text);
        });
    }
    void cleanup()
    {
        if (!m_mounted.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {std::exchange(m_mounted, {})});
        m_site.setSendRate(site::DemoSite::kDefaultSendRate);
        m_w.reset();
        m_folder.reset();
    }

    void downloadSavesTheSongWithProgress()
    {
        addRow(QStringLiteral("月光的歌"), QStringLiteral("100003"));
        menuOn(1);
        window().Dolown()->trigger();
        QVERIFY(m_w->dialogs->suggestedNames.isEmpty()); // the command only starts the navigation
        QVERIFY(waitForNotices(1));
        QCOMPARE(m_w->dialogs->suggestedNames, {QStringLiteral("月光的歌.mp3")});
        const QString path = QDir(m_folder->path()).filePath(QStringLiteral("月光的歌.mp3"));
        QCOMPARE(savedFiles(), {QStringLiteral("月光的歌.mp3")});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), m_site.songFile(QStringLiteral("100003")));
        QCOMPARE(m_w->dialogs->notices[0].text, QString(u"已保存：" + path));
        QCOMPARE(m_w->dialogs->notices[0].tone, Dialogs::Tone::Information);
        QVERIFY(std::any_of(m_status2.begin(), m_status2.end(),
                            [](const QString& s) { return s.startsWith(u"正在下载 100%：月光的歌.mp3"); }));
        QCOMPARE(m_status2.last(), QString(u"已保存：" + path));
        QCOMPARE(m_site.requests().first(), QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=100003"));
    }

    void hostileNamesStayInsideTheChosenFolder_data()
    {
        QTest::addColumn<QByteArray>("disposition");
        QTest::addColumn<QString>("saved");
        QTest::newRow("parent folders") << QByteArray("attachment; filename=\"../../x.mp3\"")
                                        << QStringLiteral("_._x.mp3");
        QTest::newRow("absolute path") << QByteArray("attachment; filename=\"/etc/passwd\"")
                                       << QStringLiteral("_etc_passwd");
        QTest::newRow("backslash") << QByteArray("attachment; filename=\"a\\b.mp3\"") << QStringLiteral("a_b.mp3");
        QTest::newRow("long name") << QByteArray("attachment; filename=\"" + QByteArray(1000, 'n') + ".mp3\"")
                                   << QString(QString(kMaxFileNameBytes - 4, u'n') + u".mp3");
        QTest::newRow("empty name") << QByteArray("attachment; filename=\"\"") << QStringLiteral("mp3.asp");
        QTest::newRow("control characters")
            << QByteArray("attachment; filename*=UTF-8''a%01%0A%1Bb.mp3") << QStringLiteral("ab.mp3");
        QTest::newRow("hidden file") << QByteArray("attachment; filename=\".bashrc\"") << QStringLiteral("bashrc");
    }
    void hostileNamesStayInsideTheChosenFolder()
    {
        QFETCH(QByteArray, disposition);
        QFETCH(QString, saved);
        addRow(QStringLiteral("x"), QString::fromLatin1("1&cd=" + disposition.toPercentEncoding()));
        menuOn(1);
        window().Dolown()->trigger();
        QVERIFY(waitForNotices(1));
        QCOMPARE(savedFiles(), {saved});
        QCOMPARE(QFileInfo(QDir(m_folder->path()).filePath(saved)).size(), site::synthesiseWav(500, 440).size());
    }

    void webPageSavesNothing()
    {
        addRow(QStringLiteral("x"), QStringLiteral("page"));
        menuOn(1);
        QSignalSpy loaded(window().browser()->WebBrowser1(), &Navigator::pageLoaded);
        window().Dolown()->trigger();
        QVERIFY(loaded.wait(10000));
        QVERIFY(m_w->dialogs->suggestedNames.isEmpty());
        QVERIFY(m_w->dialogs->notices.isEmpty());
        QCOMPARE(savedFiles(), QStringList());
    }

    // A download that saves nothing says why, in panel 2 and in a box, and leaves no file; the
    // person's own cancel is said without a box.
    void aDownloadThatSavesNothingSaysWhy_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("how");  // cancel, unreachable, or "" for the site's own answer
        QTest::addColumn<QString>("said"); // panel 2 (the box says the same, unless cancelled)
        QTest::newRow("connection cut mid-file")
            << QStringLiteral("cut") << QString() << QStringLiteral("下载失败：mp3.asp（连接中断）");
        QTest::newRow("cancelled in the save dialog")
            << QStringLiteral("100003") << QStringLiteral("cancel") << QStringLiteral("已取消下载：月光的歌.mp3");
        QTest::newRow("site unreachable") << QStringLiteral("100003") << QStringLiteral("unreachable")
                                          << QStringLiteral("下载失败：月光的歌（连接被拒绝）");
        QTest::newRow("an error status") << QStringLiteral("404404") << QString()
                                         << QStringLiteral("下载失败：月光的歌（服务器回答 404）");
        // A song of two minutes (1.9 MB) into 256 KB, and into a folder that cannot be written.
        // The person may choose where to save after the whole song has come.
        const QString full = u"下载失败：月光的歌.mp3（" + qt_error_string(ENOSPC) + u"）";
        QTest::newRow("full disk") << QStringLiteral("100003") << QStringLiteral("full") << full;
        QTest::newRow("full disk, song in before the choice")
            << QStringLiteral("100003") << QStringLiteral("full late") << full;
        QTest::newRow("read-only folder") << QStringLiteral("100003") << QStringLiteral("ro")
                                          << QString(u"下载失败：月光的歌.mp3（" + qt_error_string(EROFS) + u"）");
    }
    void aDownloadThatSavesNothingSaysWhy()
    {
        QFETCH(QString, id);
        QFETCH(QString, how);
        QFETCH(QString, said);
        if (how == u"cancel") {
            m_w->dialogs->saveFolder.clear();
            m_site.setSongMilliseconds(0); // cancelled while a song of minutes comes in
        }
        if (how.startsWith(u"full") || how == u"ro") {
            m_w->dialogs->saveFolder = mountSmallDisk(how == u"ro" ? u"ro"_qs : QString());
            if (m_w->dialogs->saveFolder.isEmpty())
                QSKIP("a small disk cannot be mounted here (as root it can)");
            m_site.setSongMilliseconds(120'000);
            m_site.setSendRate(0);
            if (how.endsWith(u"late"))
                m_w->dialogs->onSave = [] { QTest::qWait(1000); };
        }
        const QByteArray proxy = qgetenv("http_proxy");
        if (how == u"unreachable")
            qputenv("http_proxy", "http://127.0.0.1:1");
        addRow(QStringLiteral("月光的歌"), id);
        menuOn(1);
        window().Dolown()->trigger();
        const bool told =
            QTest::qWaitFor([&] { return !m_status2.isEmpty() && m_status2.last().startsWith(said); }, 15000);
        qputenv("http_proxy", proxy);
        QVERIFY2(told, qPrintable(m_status2.join(u" | ")));
        QTest::qWait(100);
        QCOMPARE(m_w->dialogs->notices.size(), how == u"cancel" ? 0 : 1);
        if (how != u"cancel") {
            QCOMPARE(m_w->dialogs->notices[0].text, m_status2.last());
            QCOMPARE(m_w->dialogs->notices[0].tone, Dialogs::Tone::Warning);
        }
        QCOMPARE(savedFiles(), QStringList());
    }

    void twoDownloadsReportEachTheirOwnResult()
    {
        addRow(QStringLiteral("a"), QStringLiteral("100001"));
        addRow(QStringLiteral("b"), QStringLiteral("cut"));
        menuOn(1);
        window().Dolown()->trigger();
        menuOn(2);
        window().Dolown()->trigger();
        QVERIFY(waitForNotices(2));
        QStringList texts;
        for (const auto& notice : m_w->dialogs->notices)
            texts.append(notice.text);
        QVERIFY(texts.contains(u"已保存：" + QDir(m_folder->path()).filePath(QStringLiteral("月光下的爱.mp3"))));
        QVERIFY(std::any_of(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith(u"下载失败："); }));
        QCOMPARE(savedFiles(), {QStringLiteral("月光下的爱.mp3")});
    }

    void menuCommandsBelowTheRowsOpenNoSongPage()
    {
        addRow(QStringLiteral("a"), QStringLiteral("100001"));
        menuOn(5);
        QVERIFY(window().playbackState().MenuRow < 0);
        window().Dolown()->trigger();
        window().se360()->trigger();
        QTest::qWait(300);
        QVERIFY(m_site.requests().isEmpty());
        QVERIFY(m_w->launcher->opened.isEmpty());
        QVERIFY(m_w->dialogs->warnings.isEmpty());
    }

    // The real-address command: the song page in a 360 browser; with none, a warning and then the
    // installer's address. A launch that fails is said in panel 2. (Real browsers: tst_xdgbrowser.)
    void realAddressOpensTheSongPageOrTheInstaller_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("opened");
        const QString three60 = QStringLiteral("\"/opt/360se/360se\" --flag %u");
        const QString page = QStringLiteral("http://www.melodrift-music.example/mp3.asp?id=id 3&x");
        const QString installer = QStringLiteral("http://down.360se-browser.example/inst.exe");
        const QString cannot = QStringLiteral("Failed to execute child process (No such file or directory)");
        QTest::newRow("360 browser that cannot be launched") << three60 << cannot << page;
        QTest::newRow("none") << QString() << QString() << installer;
        QTest::newRow("none, and nothing opens the installer") << QString() << cannot << installer;
    }
    void realAddressOpensTheSongPageOrTheInstaller()
    {
        QFETCH(QString, command);
        QFETCH(QString, failure);
        QFETCH(QString, opened);
        m_w->launcher->command = command;
        m_w->launcher->failure = failure;
        for (int i = 1; i <= 4; ++i)
            addRow(QStringLiteral("t%1").arg(i), QStringLiteral("id %1&x").arg(i));
        menuOn(3);
        QStringList openedDuringBox{QStringLiteral("not asked")};
        m_w->dialogs->onWarn = [&] { openedDuringBox = m_w->launcher->opened; };
        m_status2.clear();
        window().se360()->trigger();
        QCOMPARE(m_w->launcher->opened, {opened});
        const bool installer = opened.endsWith(u"inst.exe");
        QCOMPARE(m_w->dialogs->warnings.size(), installer ? 1 : 0);
        if (installer) {
            QCOMPARE(m_w->dialogs->warnings[0].title, QStringLiteral("默认不是360安全浏览器"));
            QCOMPARE(openedDuringBox, QStringList());
        }
        QCOMPARE(m_status2, failure.isEmpty() ? QStringList() : QStringList{u"无法打开浏览器：" + failure});
    }
};

QTEST_MAIN(TestBrowserCommands)
#include "tst_browsercommands.moc"
