#include "browser/defaultbrowser.h"
#include "browser/filename.h"
#include "browser/navigator.h"

#include <QTest>

using namespace melodrift;

class TestDefaultBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileBaseNameTakesTheNameBetweenFolderAndExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("Windows path") << QStringLiteral("C:\\Program Files\\Internet Explorer\\iexplore.exe ")
                                      << QStringLiteral("iexplore");
        QTest::newRow("Linux path with extension") << QStringLiteral("/opt/360se/360se.sh ") << QStringLiteral("360se");
        QTest::newRow("trailing backslash") << QStringLiteral("C:\\x\\") << QString();
        QTest::newRow("trailing slash") << QStringLiteral("/usr/bin/") << QString();
        QTest::newRow("no extension, arguments follow")
            << QStringLiteral("/usr/bin/firefox %u") << QStringLiteral("firefox");
        QTest::newRow("no folder, no extension") << QStringLiteral("chromium") << QStringLiteral("chromium");
        QTest::newRow("dot only in a folder") << QStringLiteral("/opt/a.b/prog ") << QStringLiteral("prog");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("capitals kept") << QStringLiteral("C:\\B\\360SE.EXE") << QStringLiteral("360SE");
    }
    void fileBaseNameTakesTheNameBetweenFolderAndExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        const QString before = path;
        QCOMPARE(FileBaseName(path), name);
        QCOMPARE(path, before);
    }

    void browserNameComesFromTheOpenCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::newRow("iexplore with a switch")
            << QStringLiteral("\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome")
            << QStringLiteral("iexplore");
        QTest::newRow("360se with a double hyphen")
            << QStringLiteral("\"C:\\Program Files\\360\\360se.exe\" -- \"%1\"") << QStringLiteral("360se");
        QTest::newRow("quoted Linux path with switches")
            << QStringLiteral("\"/opt/360se/360se\" --flag %u") << QStringLiteral("360se");
        QTest::newRow("Linux path without switches") << QStringLiteral("/usr/bin/360se %U") << QStringLiteral("360se");
        QTest::newRow("shell script") << QStringLiteral("/opt/360se/360se.sh --x") << QStringLiteral("360se");
        QTest::newRow("firefox-esr is cut at its hyphen")
            << QStringLiteral("/usr/bin/firefox-esr %u") << QStringLiteral("firefox");
        QTest::newRow("hyphen in a folder cuts inside the folder path")
            << QStringLiteral("\"C:\\my-apps\\360se.exe\" -x") << QStringLiteral("my");
        QTest::newRow("cut right after a backslash") << QStringLiteral("C:\\apps\\-x") << QString();
        QTest::newRow("command starting with a hyphen") << QStringLiteral("-x") << QString();
        QTest::newRow("nothing registered") << QString() << QString();
    }
    void browserNameComesFromTheOpenCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QCOMPARE(BrowserNameFromCommand(command), name);
    }

    void safeFileNamesStayInsideTheChosenFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain") << QStringLiteral("月光下的爱.wav") << QStringLiteral("月光下的爱.wav");
        QTest::newRow("right-to-left override") << QStringLiteral("song\u202E3pm.exe") << QStringLiteral("song3pm.exe");
        QTest::newRow("only dots") << QStringLiteral("..") << QStringLiteral("download");
        QTest::newRow("empty") << QString() << QStringLiteral("download");
        QTest::newRow("blanks") << QStringLiteral("   ") << QStringLiteral("download");
    }
    void safeFileNamesStayInsideTheChosenFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, safe);
        QCOMPARE(SafeFileName(name), safe);
    }

    void longNamesAreCutKeepingTheExtension()
    {
        const QString safe = SafeFileName(QString(1000, u'a') + u".mp3");
        QVERIFY(safe.toUtf8().size() <= kMaxFileNameBytes);
        QVERIFY(safe.endsWith(u".mp3"));
        // Found by fuzzing: the cut fell right after a dot, before the kept extension.
        const QString joined = SafeFileName(QString(195, u'a') + u".b" + QString(50, u'c') + u".mp3");
        QCOMPARE(joined, QString(QString(195, u'a') + u".mp3"));
        const QString chinese = SafeFileName(QString(1000, u'长'));
        QVERIFY(chinese.toUtf8().size() <= kMaxFileNameBytes);
        QVERIFY(!chinese.isEmpty());
    }

    void contentDispositionGivesTheFileName_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("name");
        QTest::newRow("quoted") << QByteArray("attachment; filename=\"a b.mp3\"") << QStringLiteral("a b.mp3");
        QTest::newRow("token") << QByteArray("attachment; filename=song.mp3") << QStringLiteral("song.mp3");
        QTest::newRow("extended wins") << QByteArray("attachment; filename=\"x.mp3\"; filename*=UTF-8''%E4%B8%AD.mp3")
                                       << QStringLiteral("中.mp3");
        QTest::newRow("escaped quote") << QByteArray("attachment; filename=\"a\\\"b.mp3\"")
                                       << QStringLiteral("a\"b.mp3");
        QTest::newRow("none") << QByteArray("inline") << QString();
        QTest::newRow("unknown extended charset falls back")
            << QByteArray("attachment; filename*=x-none''a; filename=b") << QStringLiteral("b");
    }
    void contentDispositionGivesTheFileName()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, name);
        QCOMPARE(ContentDispositionFileName(header), name);
    }

    void suggestedNameFallsBackToTheAddress()
    {
        const QUrl url(QStringLiteral("http://h/audio/100001.wav?x=1"));
        QCOMPARE(SuggestedFileName("attachment; filename=\"\"", url), QStringLiteral("100001.wav"));
        QCOMPARE(SuggestedFileName("attachment; filename=\"../\"", url), QStringLiteral("100001.wav"));
        QCOMPARE(SuggestedFileName(QByteArray(), QUrl(QStringLiteral("http://h/"))), QStringLiteral("download"));
        QCOMPARE(SuggestedFileName("attachment; filename=\"../../x.mp3\"", url), QStringLiteral("_._x.mp3"));
    }

    void filesAreWhatABrowserWouldSave_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("disposition");
        QTest::addColumn<bool>("file");
        QTest::newRow("audio") << QByteArray("audio/mpeg") << QByteArray() << true;
        QTest::newRow("wav with parameters") << QByteArray("Audio/WAV; rate=8000") << QByteArray() << true;
        QTest::newRow("octet stream") << QByteArray("application/octet-stream") << QByteArray() << true;
        QTest::newRow("attachment html") << QByteArray("text/html") << QByteArray("Attachment; filename=a") << true;
        QTest::newRow("web page") << QByteArray("text/html; charset=utf-8") << QByteArray() << false;
        QTest::newRow("inline web page") << QByteArray("text/html") << QByteArray("inline; filename=a.htm") << false;
    }
    void filesAreWhatABrowserWouldSave()
    {
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, disposition);
        QFETCH(bool, file);
        QCOMPARE(isFileResponse(type, disposition), file);
    }
};

QTEST_GUILESS_MAIN(TestDefaultBrowser)
#include "tst_defaultbrowser.moc"
