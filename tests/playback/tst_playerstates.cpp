#include "playback/playerstates.h"

#include <QMetaEnum>
#include <QTest>

using namespace melodrift;

namespace {

//! Plays Qt's signals into the states as a QMediaPlayer would send them, and writes down what comes
//! out: play-state numbers and statuses, in order.
class Script {
public:
    explicit Script(PlayerStates& states) : m_states(states)
    {
        states.onState = [this](int state) { m_out.append(QString::number(state)); };
        states.onStatus = [this](const PlayerStatus& status) {
            m_out.append(QString::fromLatin1(QMetaEnum::fromType<PlayerStatus::Kind>().valueToKey(status.kind)));
        };
    }

    //! Words: load, restart, stop (what the driver does), stopped/playing/paused (Qt's play state),
    //! loading/buffering/buffered/loaded/end/invalid (Qt's media status), error, settle.
    QString run(const QString& words)
    {
        for (const QString& word : words.split(u' ', Qt::SkipEmptyParts))
            step(word);
        return m_out.join(u' ');
    }

private:
    void state(QMediaPlayer::PlaybackState state)
    {
        m_state = state;
        m_states.playbackStateChanged(state, m_status);
    }
    void status(QMediaPlayer::MediaStatus status)
    {
        m_status = status;
        m_states.mediaStatusChanged(status, m_state);
    }
    void step(const QString& word)
    {
        if (word == u"load") {
            m_states.loading();
        } else if (word == u"restart") {
            m_states.restarting();
        } else if (word == u"stop") {
            m_states.stopped();
        } else if (word == u"stopped") {
            state(QMediaPlayer::StoppedState);
        } else if (word == u"playing") {
            state(QMediaPlayer::PlayingState);
        } else if (word == u"paused") {
            state(QMediaPlayer::PausedState);
        } else if (word == u"loading") {
            status(QMediaPlayer::LoadingMedia);
        } else if (word == u"buffering") {
            status(QMediaPlayer::BufferingMedia);
        } else if (word == u"buffered") {
            status(QMediaPlayer::BufferedMedia);
        } else if (word == u"loaded") {
            status(QMediaPlayer::LoadedMedia);
        } else if (word == u"end") {
            status(QMediaPlayer::EndOfMedia);
        } else if (word == u"invalid") {
            status(QMediaPlayer::InvalidMedia);
        } else if (word == u"error") {
            m_states.errorOccurred(QMediaPlayer::ResourceError);
        } else if (word == u"settle") {
            m_states.settle();
        } else {
            QFAIL(qPrintable(u"unknown word " + word));
        }
    }

    PlayerStates& m_states;
    QStringList m_out;
    QMediaPlayer::PlaybackState m_state = QMediaPlayer::StoppedState;
    QMediaPlayer::MediaStatus m_status = QMediaPlayer::NoMedia;
};

} // namespace

class TestPlayerStates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void qtSignalsBecomeTheDesignsStates_data()
    {
        QTest::addColumn<QString>("signals");
        QTest::addColumn<QString>("reported");
        QTest::newRow("a song loads and plays") << "load loading playing buffering buffered"
                                                << "9 Connecting 3 6 Buffering 3 Playing";
        QTest::newRow("the end: stop first, then end of media") << "load playing buffered stopped end settle"
                                                                << "9 Connecting 3 Playing 8 1 Ended";
        QTest::newRow("pause and resume") << "load playing buffered paused playing"
                                          << "9 Connecting 3 Playing 2 Paused 3 Playing";
        QTest::newRow("the person stops, then plays again") << "load playing buffered stop load"
                                                            << "9 Connecting 3 Playing 1 Stopped 9 Connecting";
        QTest::newRow("a stop that no end follows, once settled") << "load playing buffered stopped loaded settle"
                                                                  << "9 Connecting 3 Playing 1 Stopped";
        QTest::newRow("the first error settles it; the rest is ignored")
            << "load playing error invalid error stopped settle"
            << "9 Connecting 3 10 Failed";
        QTest::newRow("a load after an error tries again") << "load error load playing buffered"
                                                           << "9 Connecting 10 Failed 9 Connecting 3 Playing";
        QTest::newRow("a restart is no stop, and says so until it plays")
            << "load playing buffering restart loading playing buffering buffered"
            << "9 Connecting 3 6 Buffering 9 Reconnecting 3 6 3 Playing";
        QTest::newRow("a paused song's buffer fills on: still paused") << "load playing buffered paused buffering"
                                                                       << "9 Connecting 3 Playing 2 Paused";
    }
    void qtSignalsBecomeTheDesignsStates()
    {
        QFETCH(QString, signals);
        QFETCH(QString, reported);
        PlayerStates states;
        Script script(states);
        QCOMPARE(script.run(signals), reported);
    }
};

QTEST_APPLESS_MAIN(TestPlayerStates)
#include "tst_playerstates.moc"
