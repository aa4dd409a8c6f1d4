#include "tests/support/fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace melodrift::test {

void FakeDialogs::warn(QWidget*, const QString& title, const QString& text)
{
    warnings.append({title, text, Tone::Warning});
    if (onWarn)
        onWarn();
}

void FakeDialogs::inform(QWidget*, const QString& title, const QString& text, Tone tone)
{
    notices.append({title, text, tone});
}

QString FakeDialogs::saveFileName(QWidget*, const QString& suggestedName)
{
    suggestedNames.append(suggestedName);
    if (onSave)
        onSave();
    return saveFolder.isEmpty() ? QString() : QDir(saveFolder).filePath(suggestedName);
}

void FakePlayer::setURL(const QString& url)
{
    m_url = url;
    ++m_songs;
    urls.append(url);
    if (onUrl)
        onUrl(url);
    report(Transitioning);
}

void FakePlayer::setVolume(double volume)
{
    if (volume == m_volume)
        return;
    m_volume = volume;
    Q_EMIT volumeChanged(volume);
}

void FakePlayer::report(PlayState state)
{
    m_state = state;
    Q_EMIT PlayStateChange(state);
}

void FakePlayer::reportEnd()
{
    const int song = m_songs;
    report(MediaEnded);
    // As the real player: a handler that gave an address has started the next song.
    if (m_songs == song)
        report(Stopped);
}

void FakePlayer::reportStatus(PlayerStatus::Kind status)
{
    m_status = {status, {}};
    Q_EMIT StatusChange();
}

TestWindow::TestWindow(const QString& browserCommand, const QString& programDir)
    : launcher(std::make_shared<FakeLauncher>(browserCommand)), dialogs(std::make_shared<FakeDialogs>()),
      player(new FakePlayer)
{
    window = std::make_unique<MainWindow>(MainWindowPlatform{programDir, launcher, dialogs, player});
    window->Form_Load();
}

FakeXdgBrowser::FakeXdgBrowser(const QString& programName)
    // No "-" in the folder: the browser name is cut at the first "-" of the command.
    : m_dir(QDir::tempPath() + QStringLiteral("/mdXXXXXX")), m_programName(programName)
{
    const QString root = m_dir.path();
    QDir(root).mkpath(QStringLiteral("data/applications"));
    QDir(root).mkpath(QStringLiteral("config"));
    QDir(root).mkpath(QStringLiteral("bin"));
    QDir(root).mkpath(QStringLiteral("empty"));
    QFile script(programPath());
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\necho \"$@\" >> '" + recordFile().toUtf8() + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile desktop(root + QStringLiteral("/data/applications/fakebrowser.desktop"));
    desktop.open(QIODevice::WriteOnly);
    desktop.write("[Desktop Entry]\nType=Application\nName=Fake Browser\nExec=" + programPath().toUtf8() +
                  " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;\n");
    desktop.close();
    QFile mimeapps(root + QStringLiteral("/config/mimeapps.list"));
    mimeapps.open(QIODevice::WriteOnly);
    mimeapps.write("[Default Applications]\nx-scheme-handler/http=fakebrowser.desktop\n"
                   "x-scheme-handler/https=fakebrowser.desktop\n");
    mimeapps.close();
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
    // Keep the machine's own defaults out of the look-up; GSettings schemas stay reachable.
    qputenv("XDG_CONFIG_DIRS", (root + QStringLiteral("/empty")).toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "");
}

QString FakeXdgBrowser::programPath() const
{
    return m_dir.path() + u"/bin/" + m_programName;
}

QString FakeXdgBrowser::recordFile() const
{
    return m_dir.path() + QStringLiteral("/opened.txt");
}

QStringList FakeXdgBrowser::opened() const
{
    QFile file(recordFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace melodrift::test
