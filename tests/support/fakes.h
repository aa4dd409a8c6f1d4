#pragma once

#include "app/mainwindow.h"
#include "browser/defaultbrowser.h"
#include "controls/dialogs.h"
#include "playback/mediaplayer.h"
#include "tests/support/siteproxy.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace melodrift::test {

//! Records every dialog instead of showing it.
class FakeDialogs final : public Dialogs {
public:
    struct Shown {
        QString title;
        QString text;
        Tone tone;
    };
    void warn(QWidget*, const QString& title, const QString& text) override;
    void inform(QWidget*, const QString& title, const QString& text, Tone tone) override;
    //! Answers with `saveFolder`/<suggested name>, or "" to cancel when saveFolder is empty.
    QString saveFileName(QWidget*, const QString& suggestedName) override;

    QList<Shown> warnings;
    QList<Shown> notices;
    QStringList suggestedNames;
    QString saveFolder;
    //! Called while a warning is "open", to see what happened before it was closed.
    std::function<void()> onWarn;
    //! Called while the save dialog is "open".
    std::function<void()> onSave;
};

//! A desktop whose http command is fixed and whose opened addresses are recorded.
class FakeLauncher final : public DesktopLauncher {
public:
    explicit FakeLauncher(QString httpCommand = {}) : command(std::move(httpCommand)) {}
    [[nodiscard]] QString httpOpenCommand() const override { return command; }
    Failure openUrl(const QString& url) override
    {
        opened.append(url);
        return failure.isEmpty() ? Failure{} : Failure{Failure::LaunchError, 0, failure};
    }

    QString command;
    QStringList opened;
    QString failure; //!< what every launch answers; "" for a launch that works
};

//! A player that records what it is told and reports what a test makes it report; as the real
//! one, a new address reports Transitioning.
class FakePlayer final : public MediaPlayer {
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;
    void setURL(const QString& url) override;
    [[nodiscard]] QString URL() const override { return m_url; }
    [[nodiscard]] PlayState playState() const override { return m_state; }
    [[nodiscard]] PlayerStatus status() const override { return m_status; }
    void play() override { ++playCalls; }
    void pause() override { ++pauseCalls; }
    void stop() override { ++stopCalls; }
    void setNextURL(const QString& url) override { nextUrl = url; }
    [[nodiscard]] qint64 position() const override { return m_position; }
    [[nodiscard]] qint64 duration() const override { return m_duration; }
    void setPosition(qint64) override {}
    [[nodiscard]] double volume() const override { return m_volume; }
    void setVolume(double volume) override;
    [[nodiscard]] bool isMuted() const override { return m_muted; }
    void setMuted(bool muted) override { m_muted = muted; }
    void setVideoSink(QVideoSink*) override {}

    //! Reports a new play state, as the real player does.
    void report(PlayState state);
    //! Reports a song's end: media ended, then stopped unless a handler gave a new address.
    void reportEnd();
    void reportStatus(PlayerStatus::Kind status);
    void reportPosition(qint64 ms, qint64 length) { m_duration = length, m_position = ms, Q_EMIT positionChanged(ms); }

    QStringList urls;                          //!< every address given, in order
    QString nextUrl;                           //!< the address the end is to go on to, as last told
    std::function<void(const QString&)> onUrl; //!< runs as an address is given
    int playCalls = 0;
    int pauseCalls = 0;
    int stopCalls = 0;

private:
    QString m_url;
    PlayState m_state = Undefined;
    PlayerStatus m_status;
    qint64 m_position = 0;
    qint64 m_duration = 0;
    double m_volume = 0.5;
    bool m_muted = false;
    int m_songs = 0;
};

//! A window with fakes at every platform boundary, started up.
struct TestWindow {
    explicit TestWindow(const QString& browserCommand = QStringLiteral("\"/opt/360se/360se\" --flag %u"),
                        const QString& programDir = QString());
    std::shared_ptr<FakeLauncher> launcher;
    std::shared_ptr<FakeDialogs> dialogs;
    FakePlayer* player;
    std::unique_ptr<MainWindow> window;
};

//! A default web browser installed for GIO in temporary XDG folders: a script that appends its
//! arguments to a file. Must be installed before GIO is first used in the process.
class FakeXdgBrowser {
public:
    explicit FakeXdgBrowser(const QString& programName);
    [[nodiscard]] QString recordFile() const;
    //! The lines recorded so far (one per start).
    [[nodiscard]] QStringList opened() const;
    [[nodiscard]] QString programPath() const;

private:
    QTemporaryDir m_dir;
    QString m_programName;
};

} // namespace melodrift::test
