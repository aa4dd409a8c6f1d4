// Soak run in one process against the demo site: songs back to back on the real player in loop
// mode, then searches with paging through the real window, optionally with busy threads loading
// the machine. Reports songs played, stalls, watchdog restarts, the longest gap between two songs,
// resident memory and open file descriptors. --switches N instead plays songs of minutes, still
// downloading, and moves to another row every second, N times; it reports the requests per play
// (a song page and a file) and every request for a song already left.
// --volume-every MS moves the volume that often meanwhile.
// Run: QT_QPA_PLATFORM=offscreen build/bench/soak [--songs N] [--searches N] [--load THREADS] [--wav]
//      [--qtest-loop] [--switches N] [--volume-every MS]
#include "app/mainwindow.h"
#include "controls/playerview.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "playback/gstplayer.h"
#include "playback/playbackcommands.h"
#include "search/searchcommands.h"
#include "tests/support/fakes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

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

bool flag(int argc, char* argv[], const char* name)
{
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == name)
            return true;
    }
    return false;
}

//! Watches the main thread: when it has not turned for 20 s, writes every thread's stack (gdb) to
//! soak-blocked-<pid>.txt, so that a stall says whether the program was stuck or only waiting.
class BlockedThreadWatch {
public:
    BlockedThreadWatch()
    {
        QObject::connect(&m_beat, &QTimer::timeout, [this] { m_lastBeat = m_clock.elapsed(); });
        m_clock.start();
        m_beat.start(100);
        m_thread = std::thread([this] {
            while (!m_stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                if (!m_reported && m_clock.elapsed() - m_lastBeat > 20'000) {
                    m_reported = true;
                    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
                    const QByteArray command =
                        "gdb -p " + pid + " -batch -ex 'thread apply all bt 25' > soak-blocked-" + pid + ".txt 2>&1";
                    std::printf("the main thread has not turned for 20 s: stacks in soak-blocked-%s.txt\n",
                                pid.constData());
                    std::fflush(stdout);
                    if (std::system(command.constData()) != 0)
                        std::printf("gdb could not write the stacks\n");
                }
            }
        });
    }
    ~BlockedThreadWatch()
    {
        m_stop = true;
        m_thread.join();
    }
    BlockedThreadWatch(const BlockedThreadWatch&) = delete;
    BlockedThreadWatch& operator=(const BlockedThreadWatch&) = delete;

private:
    QElapsedTimer m_clock;
    QTimer m_beat;
    std::atomic<qint64> m_lastBeat{0};
    std::atomic<bool> m_stop{false};
    bool m_reported = false;
    std::thread m_thread;
};

//! Threads that keep the processor busy until the load goes.
class BusyLoad {
public:
    explicit BusyLoad(int threads)
    {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this] {
                unsigned long spins = 0;
                while (!m_stop.load(std::memory_order_relaxed))
                    ++spins;
                m_spins += spins;
            });
    }
    ~BusyLoad()
    {
        m_stop = true;
        for (std::thread& thread : m_threads)
            thread.join();
    }
    BusyLoad(const BusyLoad&) = delete;
    BusyLoad& operator=(const BusyLoad&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::atomic<unsigned long> m_spins{0};
    std::vector<std::thread> m_threads;
};

//! Plays a new row every second while the songs, minutes long, still download: half of them as a
//! double-click plays them, half as the desktop's "next" does. Returns the stray requests.
int switching(MainWindow& window, site::DemoSite& site, int switches, int load)
{
    site.setSongMilliseconds(0);
    site.setSongFormat(site::DemoSite::Format::Mp3);
    window.QMListBox1()->Clear();
    for (int i = 0; i < 20; ++i)
        window.QMListBox1()->AddItem(site::catalogue()[i].title, site::catalogue()[i].id, site::catalogue()[i].id, 0);
    QString current;
    bool pageSeen = false;
    bool fileSeen = false;
    int pages = 0;
    int files = 0;
    QStringList strays;
    const QMetaObject::Connection counted =
        QObject::connect(&site, &site::DemoSite::requestSeen, [&](const QString& url, const QByteArray& range) {
            const qsizetype page = url.indexOf(u"/mp3.asp?id=");
            const qsizetype file = url.indexOf(u"/audio/");
            if (page >= 0 && url.mid(page + 12) == current && !pageSeen) {
                pageSeen = true;
                ++pages;
            } else if (file >= 0 && url.mid(file + 7).section(u'.', 0, 0) == current && pageSeen && !fileSeen &&
                       range.isEmpty()) {
                fileSeen = true;
                ++files;
            } else if (page >= 0 || file >= 0) {
                strays.append(url + (range.isEmpty() ? QString() : u" " + QString::fromLatin1(range)));
            }
        });
    std::printf("%d switches, one a second, between songs of minutes at four times their bit rate, %d busy "
                "threads\n",
                switches, load);
    QElapsedTimer total;
    total.start();
    {
        BusyLoad busy(load);
        for (int i = 1; i <= switches; ++i) {
            const int row = (i * 7) % 20 + 1;
            current = window.QMListBox1()->ItemId(i % 2 == 0 ? row : window.playbackState().PlayRow % 20 + 1);
            pageSeen = fileSeen = false;
            if (i % 2 == 0)
                window.playback()->PlaySong(row);
            else
                window.playback()->advance(PlayMode::Loop);
            QTest::qWait(1000);
            if (i % 100 == 0)
                report(qPrintable(QStringLiteral("after %1 switches").arg(i)));
        }
        // Stopped as the person stops it: the press disarms the re-play an advance armed.
        current.clear();
        window.playerView()->stopButton()->click();
        QTest::qWait(3000);
    }
    QObject::disconnect(counted);
    std::printf("switches %d in %.0f s: song pages %d, files %d (%.3f and %.3f a play), stray requests %lld\n",
                switches, double(total.elapsed()) / 1000, pages, files, double(pages) / switches,
                double(files) / switches, static_cast<long long>(strays.size()));
    for (const QString& stray : std::as_const(strays).mid(0, 10))
        std::printf("  stray: %s\n", qPrintable(stray));
    std::fflush(stdout);
    return int(strays.size()) + (switches - pages) + (switches - files);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int songs = argument(argc, argv, "--songs", 200);
    const int searches = argument(argc, argv, "--searches", 0);
    const int load = argument(argc, argv, "--load", 0);
    site::DemoSite site;
    if (!site.listen())
        return 1;
    site.setSongMilliseconds(300);
    if (flag(argc, argv, "--wav"))
        site.setSongFormat(site::DemoSite::Format::Wav);
    test::useSiteAsProxy(site);

    auto* player = new GstPlayer;
    MainWindow window(MainWindowPlatform{QString(), std::make_shared<test::FakeLauncher>(QStringLiteral("360se")),
                                         std::make_shared<test::FakeDialogs>(), player});
    window.Form_Load();
    window.show();
    const int switches = argument(argc, argv, "--switches", 0);
    if (switches > 0)
        return switching(window, site, switches, load) == 0 ? 0 : 1;

    for (int i = 0; i < 5; ++i)
        window.QMListBox1()->AddItem(site::catalogue()[i].title, site::catalogue()[i].id, site::catalogue()[i].id, 0);
    report("start");
    std::printf("%d songs of 300 ms (%s), loop mode, %d busy threads\n", songs,
                flag(argc, argv, "--wav") ? "WAV" : "MP3", load);
    // Loop mode advances by itself; every song page request is one song.
    int played = 0;
    qint64 longestGap = 0;
    QElapsedTimer sinceLast;
    QObject::connect(&site, &site::DemoSite::requestSeen, [&](const QString& url) {
        site.clearRequests(); // the site's own log is not what is measured
        if (!url.contains(u"/mp3.asp?id="))
            return;
        if (played > 0)
            longestGap = qMax(longestGap, sinceLast.elapsed());
        sinceLast.start();
        ++played;
    });
    // A stall is a minute without a new song. The program's own event loop runs the songs, unless
    // --qtest-loop asks for the loop of the first soak: QTest's waits, which serve GStreamer's bus
    // late and make every song slower. (That soak gave each doubling of the count a minute in all,
    // so a slow run looked stalled once 80 songs took more than 60 s.)
    const bool qtestLoop = flag(argc, argv, "--qtest-loop");
    auto waitForSongs = [&](int count) {
        if (qtestLoop) {
            while (played < count) {
                const int before = played;
                if (!QTest::qWaitFor([&] { return played > before; }, 60000))
                    return false;
            }
            return true;
        }
        QEventLoop loop;
        QTimer stall;
        stall.setSingleShot(true);
        QObject::connect(&stall, &QTimer::timeout, &loop, [&] { loop.exit(1); });
        const QMetaObject::Connection counted = QObject::connect(&site, &site::DemoSite::requestSeen, &loop, [&] {
            stall.start(60'000);
            if (played >= count)
                loop.exit(0);
        });
        stall.start(60'000);
        const bool done = played >= count || loop.exec() == 0;
        QObject::disconnect(counted);
        return done;
    };
    QElapsedTimer total;
    bool stalled = false;
    {
        BusyLoad busy(load);
        BlockedThreadWatch watch;
        // A slider moved all the while: the volume is set while playbin changes state.
        QTimer slider;
        QObject::connect(&slider, &QTimer::timeout, [&] { player->setVolume(player->volume() > 0.55 ? 0.5 : 0.6); });
        if (const int every = argument(argc, argv, "--volume-every", 0); every > 0)
            slider.start(every);
        total.start();
        window.playback()->PlaySong(1);
        for (int mark = 10; mark <= songs; mark = qMin(songs, mark * 2) + (mark == songs ? 1 : 0)) {
            if (!waitForSongs(mark)) {
                std::printf("stalled after %d songs: play state %d, panel 3 \"%s\"\n", played, player->playState(),
                            qPrintable(window.StatusBar1()->panelText(3)));
                stalled = true;
                break;
            }
            report(qPrintable(QStringLiteral("after %1 songs").arg(played)));
            if (mark == songs)
                break;
        }
    }
    std::printf("songs %d in %.0f s, stalls %d, watchdog restarts %d, longest gap %lld ms\n", played,
                double(total.elapsed()) / 1000, stalled ? 1 : 0, player->restarts(),
                static_cast<long long>(longestGap));
    std::fflush(stdout);
    if (stalled)
        return 1;
    player->stop();

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
