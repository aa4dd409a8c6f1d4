// Soak run in one process against the demo site: song changes on the real player and searches with
// paging through the real window. Reports resident memory and open file descriptors.
// Run: QT_QPA_PLATFORM=offscreen build/bench/soak [--songs N] [--searches N]
#include "app/mainwindow.h"
#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "playback/playbackcommands.h"
#include "playback/qtmediaplayer.h"
#include "search/searchcommands.h"
#include "site/demosite.h"
#include "tests/support/fakes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <cstdio>

using namespace melodrift;

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

long openFiles()
{
    return long(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

void report(const char* when)
{
    std::printf("%-28s resident %6ld KiB, open files %4ld\n", when, residentKiB(), openFiles());
    std::fflush(stdout);
}

int argument(int argc, char* argv[], const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == name)
            return QByteArray(argv[i + 1]).toInt();
    }
    return fallback;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int songs = argument(argc, argv, "--songs", 200);
    const int searches = argument(argc, argv, "--searches", 0);
    site::DemoSite site;
    if (!site.listen())
        return 1;
    site.setSongMilliseconds(300);
    test::useSiteAsProxy(site);

    auto* player = new QtMediaPlayer;
    MainWindow window(MainWindowPlatform{QString(), std::make_shared<test::FakeLauncher>(QStringLiteral("360se")),
                                         std::make_shared<test::FakeDialogs>(), player});
    window.Form_Load();
    window.show();

    for (int i = 0; i < 5; ++i)
        window.QMListBox1()->AddItem(site::catalogue()[i].title, site::catalogue()[i].id, site::catalogue()[i].id, 0);
    report("start");
    // Loop mode advances by itself; count the song page requests.
    int played = 0;
    QObject::connect(&site, &site::DemoSite::requestSeen, [&played, &site](const QString& url) {
        if (url.contains(u"/mp3.asp?id="))
            ++played;
        site.clearRequests(); // the site's own log is not what is measured
    });
    window.playback()->PlaySong(1);
    for (int mark = 10; mark <= songs; mark = qMin(songs, mark * 2) + (mark == songs ? 1 : 0)) {
        if (!QTest::qWaitFor([&] { return played >= mark; }, 60000)) {
            std::printf("stalled after %d songs: play state %d, status \"%s\", panel 3 \"%s\"\n", played,
                        player->playState(), qPrintable(player->status()),
                        qPrintable(window.StatusBar1()->panelText(3)));
            return 1;
        }
        report(qPrintable(QStringLiteral("after %1 songs").arg(played)));
        if (mark == songs)
            break;
    }
    player->mediaPlayer()->stop();

    if (searches > 0) {
        const QStringList keys = {QStringLiteral("中文歌曲 mp3"), QStringLiteral("月光"), QStringLiteral("Love")};
        for (int i = 1; i <= searches; ++i) {
            window.Text1()->setText(keys[i % keys.size()]);
            window.search()->Command1_Click();
            window.search()->Command2_Click();
            if (!QTest::qWaitFor([&] { return !window.search()->isLoading(); }, 30000)) {
                std::printf("search %d did not end\n", i);
                return 1;
            }
            site.clearRequests();
            if (i == 10 || i % 250 == 0 || i == searches)
                report(qPrintable(QStringLiteral("after %1 searches").arg(i)));
        }
    }
    return 0;
}
