// The real player against the demo site: what a listener would hear, counted in samples, and what
// the site sees. Songs are still downloading when they are left, as a person's are.
#include "playback/gstplayer.h"
#include "site/demosite.h"
#include "site/mp3tone.h"
#include "tests/support/siteproxy.h"

#include <QTemporaryDir>
#include <QTest>
#include <QVideoSink>
#include <QtEndian>

using namespace melodrift;

namespace {

const QString kSite = QStringLiteral("http://www.melodrift-music.example");
const QString kA = QStringLiteral("100001");
const QString kB = QStringLiteral("100002");
const QString kC = QStringLiteral("100003");

QString page(const QString& id)
{
    return kSite + u"/mp3.asp?id=" + id;
}

QString audio(const QString& id, const char* extension = ".mp3")
{
    return kSite + u"/audio/" + id + QLatin1String(extension);
}

//! Where the audio of second `s` starts in a song's file (its ID3v2 tag is about 100 bytes).
qint64 byteAt(double s)
{
    return qint64(s * site::kMp3BytesPerSecond) + 100;
}

//! A clocked sink that writes every sample it is given to `path`, mono, 16 bits: at 8 kHz the
//! demo's WAV songs are not converted at all. Like a sound card it drops what comes late (here: 1 s).
QByteArray pcmSink(const QString& path = QStringLiteral("/dev/null"), int rate = 8000)
{
    return "audioconvert ! audio/x-raw,format=S16LE,channels=1,rate=" + QByteArray::number(rate) +
           " ! filesink append=true buffer-mode=unbuffered sync=true max-lateness=1000000000 location=" +
           QFile::encodeName(path);
}

//! The longest run of samples a listener would take for silence.
qsizetype longestQuiet(const QByteArray& pcm)
{
    qsizetype longest = 0;
    for (qsizetype i = 0, run = 0; i + 1 < pcm.size(); i += 2)
        longest = qMax(longest, run = qAbs(qFromLittleEndian<qint16>(pcm.constData() + i)) < 300 ? run + 1 : 0);
    return longest;
}

//! The play states a player reports, in order.
struct StateLog {
    explicit StateLog(MediaPlayer& player)
    {
        QObject::connect(&player, &MediaPlayer::PlayStateChange, &player, [this](int state) { states.append(state); });
    }
    QList<int> states;
};

enum class Leave { Another, Same, Stop, StopThenPlay, PauseThenAnother, Destroy };

} // namespace
Q_DECLARE_METATYPE(Leave)

class TestGstPlayer : public test::SiteSuite {
    Q_OBJECT

    QVideoSink m_screen; // where the view's video would go

    static bool playing(const GstPlayer& player) { return player.playState() == MediaPlayer::Playing; }

    //! A WAV song's samples as the site serves them now.
    QByteArray samples(const QString& id) { return m_site.songFile(id).mid(44); }

private Q_SLOTS:
    void init()
    {
        QTest::qWait(200); // what the last player asked as it closed reaches the site before it forgets
        m_site.clearRequests();
        m_site.setSongMilliseconds(0);
        m_site.setSendRate(site::DemoSite::kDefaultSendRate);
        m_site.setSongFormat(site::DemoSite::Format::Mp3);
        m_site.setTailHold(0);
        m_site.clearStalls();
    }

    // Song A plays, B is the next; what the listener hears is every sample of A, then every sample
    // of what the end chose, nothing between, nothing twice. A song queued and then not chosen costs
    // the site its page and file once at most.
    void everySampleOfEverySong_data()
    {
        QTest::addColumn<QString>("act"); // once B is queued (the site saw its page)
        QTest::addColumn<QString>("end"); // what the end chooses
        QTest::addColumn<int>("tailHoldMs");
        QTest::addColumn<QList<int>>("pages"); // how often the site sees A's, B's and C's page and file
        QTest::addColumn<bool>("mp3");         // or WAV, whose samples are known to the bit
        QTest::newRow("MP3: A, then B, each as long as its tag says") << "" << kB << 0 << QList<int>{1, 1, 0} << true;
        QTest::newRow("MP3: a stall near each end") << "" << kB << 1500 << QList<int>{1, 1, 0} << true;
        QTest::newRow("loop: A, then B") << "" << kB << 0 << QList<int>{1, 1, 0} << false;
        QTest::newRow("single: A twice, its page asked again") << "" << kA << 0 << QList<int>{2, 0, 0} << false;
        QTest::newRow("a long pause in A's last moments") << "pause" << kB << 0 << QList<int>{1, 1, 0} << false;
        QTest::newRow("a stop while B is queued, then play: A anew")
            << "stop" << kB << 0 << QList<int>{2, 2, 0} << false;
        QTest::newRow("a row played while B is queued: C") << "play C" << kC << 0 << QList<int>{1, 1, 2} << false;
        QTest::newRow("the choice changed after B was queued: C")
            << "choose C" << kC << 0 << QList<int>{1, 1, 1} << false;
    }
    void everySampleOfEverySong()
    {
        QFETCH(QString, act);
        QFETCH(QString, end);
        QFETCH(int, tailHoldMs);
        QFETCH(QList<int>, pages);
        QFETCH(bool, mp3);
        m_site.setSongFormat(mp3 ? site::DemoSite::Format::Mp3 : site::DemoSite::Format::Wav);
        m_site.setSongMilliseconds(1500);
        m_site.setTailHold(tailHoldMs);
        const QTemporaryDir dir;
        const QString heardFile = dir.filePath(u"heard"_qs);
        GstPlayer player(nullptr, pcmSink(heardFile, mp3 ? 44100 : 8000));
        player.setVolume(1.0);
        StateLog log(player);
        const QString next = end == kA ? kA : kB;
        int ends = 0;
        connect(&player, &MediaPlayer::PlayStateChange, this, [&](int state) {
            if (state != MediaPlayer::MediaEnded || ends++ > 0)
                return;
            player.setURL(page(end)); // as the playback commands do at the end
            player.setNextURL({});
        });
        player.setURL(page(kA));
        player.setNextURL(page(next));
        QTRY_VERIFY_WITH_TIMEOUT(m_site.requests().count(page(next)) == (next == kA ? 2 : 1), 20000);
        if (act == u"pause") {
            player.pause();
            QTest::qWait(2000);
            player.play();
        } else if (act == u"stop") {
            player.stop();
            player.play();
        } else if (act == u"play C") { // a row played while B is queued; nothing follows C
            player.setURL(page(kC));
            player.setNextURL({});
        } else if (act == u"choose C") {
            player.setNextURL(page(kC)); // as a change of mode tells it
        }
        QTRY_COMPARE_WITH_TIMEOUT(player.status().kind, PlayerStatus::Ended, 30000);
        QFile file(heardFile);
        QByteArray heard = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (mp3) { // not known to the bit: every sample there, and none silent
            QCOMPARE(heard.size(), qsizetype(2 * 2 * 1500 * 44100 / 1000));
            QVERIFY(longestQuiet(heard) < 20);
        } else if (act == u"play C") { // A up to there, then C from its first sample, twice (its end plays it again)
            const QByteArray twice = samples(kC) + samples(kC);
            QVERIFY(heard.endsWith(twice) && samples(kA).startsWith(heard.chopped(twice.size())));
        } else {
            const QByteArray whole = samples(kA) + samples(end);
            // After a stop, what played before it comes first; A then plays from its start. A song
            // queued and not chosen is silence until the choice loads.
            if (act == u"stop")
                heard = heard.right(whole.size());
            const QByteArray between = heard.mid(samples(kA).size(), heard.size() - whole.size());
            QVERIFY2(heard.size() >= whole.size() && heard.startsWith(samples(kA)) && heard.endsWith(samples(end)),
                     "a sample missing or out of place");
            QCOMPARE(between.count('\0'), end == next ? 0 : between.size());
        }
        QCOMPARE(log.states.count(MediaPlayer::MediaEnded), 2);
        QCOMPARE(log.states.count(MediaPlayer::Stopped), act == u"stop" ? 2 : 1);
        const QList<QString> ids{kA, kB, kC};
        for (qsizetype i = 0; i < ids.size(); ++i) {
            QCOMPARE(m_site.requests().count(page(ids[i])), pages[i]);
            QVERIFY(m_site.requests().count(audio(ids[i], mp3 ? ".mp3" : ".wav")) <= pages[i]); // a stop may come first
        }
    }

    // A song that came from the queue is the player's song: its length, title and position, and
    // it seeks.
    void theQueuedSongIsTheSong()
    {
        m_site.setSongMilliseconds(2000);
        GstPlayer player(nullptr, pcmSink());
        player.setURL(page(kA));
        player.setNextURL(page(kB));
        connect(&player, &MediaPlayer::PlayStateChange, this, [&](int state) {
            if (state == MediaPlayer::MediaEnded && player.URL() == page(kA))
                player.setURL(page(kB));
        });
        QTRY_COMPARE_WITH_TIMEOUT(player.URL(), page(kB), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(playing(player) && player.position() > 200, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(player.duration() - 2000) < 100, 5000);
        QCOMPARE(player.mediaTitle(), site::catalogue().at(1).title);
        QCOMPARE(m_site.requests().count(page(kB)), 1);
        player.setPosition(1500);
        QTRY_VERIFY_WITH_TIMEOUT(player.position() >= 1500, 5000);
    }

    // Every play costs the site one song page and its file, nothing else, however the song is left
    // while it still downloads: a song left is never asked for again, and a new address (another or
    // the same) is never reported stopped.
    void aSongLeftIsNeverAskedForAgain_data()
    {
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<QStringList>("plays"); // the songs the site is to see, in order
        QTest::newRow("another song") << Leave::Another << QStringList{kA, kB};
        QTest::newRow("the same song again") << Leave::Same << QStringList{kA, kA};
        QTest::newRow("stop") << Leave::Stop << QStringList{kA};
        QTest::newRow("stop, then play from the start") << Leave::StopThenPlay << QStringList{kA, kA};
        QTest::newRow("pause, then another song") << Leave::PauseThenAnother << QStringList{kA, kB};
        QTest::newRow("the player closed") << Leave::Destroy << QStringList{kA};
    }
    void aSongLeftIsNeverAskedForAgain()
    {
        QFETCH(Leave, leave);
        QFETCH(QStringList, plays);
        auto player = std::make_unique<GstPlayer>();
        player->setVideoSink(&m_screen);
        StateLog log(*player);
        QList<qint64> lengths;
        connect(player.get(), &MediaPlayer::durationChanged, this, [&](qint64 ms) { lengths.append(ms); });
        player->setURL(page(plays.first()));
        QTRY_VERIFY_WITH_TIMEOUT(playing(*player) && player->position() > 1500, 20000);
        QVERIFY(player->duration() > 120'000);                           // minutes long, and far from downloaded
        QCOMPARE(player->mediaTitle(), site::catalogue().first().title); // its ID3 title
        const qsizetype left = log.states.size();
        const qsizetype lengthsLeft = lengths.size();
        switch (leave) {
        case Leave::Another:
        case Leave::Same:
            player->setURL(page(plays.last()));
            break;
        case Leave::Stop:
            player->stop();
            break;
        case Leave::StopThenPlay:
            player->stop();
            player->play();
            break;
        case Leave::PauseThenAnother:
            player->pause();
            QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(MediaPlayer::Paused), 5000);
            player->setURL(page(plays.last()));
            break;
        case Leave::Destroy:
            player.reset();
            break;
        }
        if (plays.size() > 1)
            QTRY_VERIFY_WITH_TIMEOUT(playing(*player) && player->position() > 500, 20000);
        QTest::qWait(1500); // a stray request comes within milliseconds of the switch
        QStringList expected;
        for (const QString& id : plays)
            expected << page(id) << audio(id);
        QCOMPARE(m_site.requests().join(u' '), expected.join(u' '));
        if (leave != Leave::Destroy) // the song left takes its length with it
            QCOMPARE(lengths.value(lengthsLeft, -1), 0);
        if (leave == Leave::Another || leave == Leave::Same) {
            QCOMPARE(log.states.value(left), int(MediaPlayer::Transitioning));
            QVERIFY(!log.states.mid(left).contains(MediaPlayer::Stopped));
        }
    }

    // The watchdog with a short interval: progress keeps it quiet, a stall restarts the song where
    // it stood, a restart is spent per stall and comes back once the song plays on, and a stall
    // with none left fails the song.
    void stalls_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("songMs");
        QTest::addColumn<QList<double>>("stallsAt"); // seconds into the song where the site stops
        QTest::addColumn<int>("restarts");
        QTest::addColumn<bool>("plays");  // through to the end, or fails
        QTest::addColumn<bool>("pauses"); // for a moment while it reconnects
        QTest::newRow("page accepted, then nothing")
            << QStringLiteral("stall") << 0 << QList<double>{} << 1 << false << false;
        QTest::newRow("one stall, paused while it reconnects, then play: where it stood")
            << QStringLiteral("100005") << 8000 << QList<double>{5} << 1 << true << true;
        QTest::newRow("two stalls apart: a restart each")
            << QStringLiteral("100006") << 11000 << QList<double>{4.5, 8.5} << 2 << true << false;
        QTest::newRow("a second stall soon after: fails")
            << QStringLiteral("100007") << 9000 << QList<double>{5, 6} << 1 << false << false;
    }
    void stalls()
    {
        QFETCH(QString, id);
        QFETCH(int, songMs);
        QFETCH(QList<double>, stallsAt);
        QFETCH(int, restarts);
        QFETCH(bool, plays);
        QFETCH(bool, pauses);
        m_site.setSongMilliseconds(songMs);
        // Slow enough that the restarted load's first request, dropped for the range it seeks to,
        // does not reach the next stall first.
        m_site.setSendRate(20'000);
        for (double s : stallsAt)
            m_site.addStall(byteAt(s));
        GstPlayer player;
        player.setStallTimeout(2000);
        player.setRestartRegain(2000);
        StateLog log(player);
        QList<PlayerStatus::Kind> statuses;
        connect(&player, &MediaPlayer::StatusChange, this, [&] {
            statuses.append(player.status().kind);
            if (player.status().kind == PlayerStatus::Reconnecting && std::exchange(pauses, false)) {
                player.pause();
                QTimer::singleShot(1500, &player, [&] { player.play(); });
            }
        });
        QList<qint64> shown; // positions the view is given
        connect(&player, &MediaPlayer::positionChanged, this, [&](qint64 ms) { shown.append(ms); });
        player.setURL(page(id));
        QTRY_VERIFY_WITH_TIMEOUT(
            log.states.contains(MediaPlayer::MediaEnded) || player.playState() == MediaPlayer::Ready, 40000);
        QCOMPARE(player.status().kind == PlayerStatus::Failed, !plays);
        if (!plays)
            QCOMPARE(player.status().failure.kind, Failure::TimedOut);
        QCOMPARE(player.restarts(), restarts);
        QCOMPARE(m_site.requests().count(page(id)), restarts + 1);
        // Reconnecting stays said until the song plays again (or fails, or is paused).
        const qsizetype reconnecting = statuses.indexOf(PlayerStatus::Reconnecting);
        if (reconnecting >= 0)
            QVERIFY((QList{PlayerStatus::Playing, PlayerStatus::Failed, PlayerStatus::Paused})
                        .contains(statuses.value(reconnecting + 1)));
        if (!stallsAt.isEmpty() && plays) {
            // Resumed where it stood: a range from there, and the position shown never went back.
            const qint64 from = m_site.ranges().last().mid(6).split('-').first().toLongLong();
            QVERIFY(from > 0 && from < byteAt(stallsAt.last()));
            for (qsizetype i = 1; i < shown.size() - (shown.last() == 0 ? 1 : 0); ++i) // but the end's 0
                QVERIFY2(shown[i] >= shown[i - 1] - 300, qPrintable(QDebug::toString(shown.mid(i - 3, 6))));
        }
        QVERIFY(!log.states.contains(MediaPlayer::Stopped) || plays);
    }
};

QTEST_MAIN(TestGstPlayer)
#include "tst_gstplayer.moc"
