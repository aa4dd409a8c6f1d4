#include "playback/playbackcommands.h"

#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "melodrift/hosts.h"
#include "playback/mediaplayer.h"

#include <QAbstractButton>
#include <QMenu>

namespace melodrift {

namespace {
// The play colour the program writes on every play (green 192).
const QColor kPlayTextColor(0x00, 0xC0, 0x00);
} // namespace

QString SongPageUrl(const QString& id)
{
    return u"http://" + hosts::siteHost() + u"/mp3.asp?id=" + id;
}

QString DisplayTitle(const QString& title)
{
    QString display = title;
    display.remove(u' ');
    return display;
}

PlaybackCommands::PlaybackCommands(SongListBox* list, StatusBar* status, MediaPlayer* player,
                                   const std::array<QAbstractButton*, 3>& options, QMenu* menu, PlaybackState* state,
                                   QObject* parent)
    : QObject(parent), m_list(list), m_status(status), m_player(player), m_options(options), m_menu(menu),
      m_state(state)
{
}

void PlaybackCommands::PlaySong(int row)
{
    m_list->PlayItem(row);
    m_list->PlayTextColor(kPlayTextColor);
    m_state->PlayRow = row;
    m_player->setURL(SongPageUrl(m_list->ItemId(row)));
    m_status->setPanelText(2, u"正在播放：" + m_list->ItemTitle(row));
    Q_EMIT songStarted(row);
}

void PlaybackCommands::QMListBox1_DblClick(int, int, float x, float y)
{
    const int row = m_list->HitTest(x, y);
    if (row < 0)
        return;
    PlaySong(row);
}

void PlaybackCommands::Pla_Click()
{
    // A right-click below the last row leaves no song to play.
    if (m_state->MenuRow < 1 || m_state->MenuRow > m_list->ListCount())
        return;
    PlaySong(m_state->MenuRow);
}

void PlaybackCommands::QMListBox1_Click(int, int, float x, float y)
{
    const int row = m_list->HitTest(x, y);
    if (row < 0)
        return;
    m_status->setPanelText(1, u"ID：" + m_list->ItemId(row));
    m_status->setPanelText(2, u"曲名：" + DisplayTitle(m_list->ItemTitle(row)));
}

void PlaybackCommands::QMListBox1_MouseMove(int, int, float x, float y)
{
    const int row = m_list->HitTest(x, y);
    if (row < 0)
        return;
    m_list->setToolTipText(u"ID：" + m_list->ItemId(row) + u"\r\n\t 曲名：" + DisplayTitle(m_list->ItemTitle(row)));
}

void PlaybackCommands::QMListBox1_MouseUp(int button, int, float x, float y)
{
    if (m_list->ListCount() < 1)
        return;
    if (button != 2)
        return;
    m_state->MenuRow = m_list->HitTest(x, y);
    m_menu->popup(m_list->viewport()->mapToGlobal(QPointF(x, y).toPoint()));
}

void PlaybackCommands::WindowsMediaPlayer1_PlayStateChange(int)
{
    if (m_player->playState() != MediaPlayer::MediaEnded)
        return;
    advance();
}

void PlaybackCommands::advance()
{
    const int n = m_list->ListCount();
    // With no rows left there is nothing to play next.
    if (n < 1)
        return;
    int& row = m_state->PlayRow;
    if (row > n) {
        row = 1;
    } else if (m_options[0]->isChecked()) {
        // single track: the same row again
    } else if (m_options[1]->isChecked()) {
        row = (row == n) ? 1 : row + 1;
    } else {
        row = 1 + static_cast<int>(m_random.next() * n);
    }
    m_state->AutoPlayState = 1;
    m_list->PlayItem(row);
    m_list->PlayTextColor(kPlayTextColor);
    m_status->setPanelText(2, u"正在播放：" + m_list->ItemTitle(row));
    m_player->setURL(SongPageUrl(m_list->ItemId(row)));
    Q_EMIT songStarted(row);
}

void PlaybackCommands::WindowsMediaPlayer1_StatusChange()
{
    m_status->setPanelText(3, u"播放器状态：" + m_player->status());
    if (m_player->playState() == MediaPlayer::Stopped && m_state->AutoPlayState == 1)
        m_player->play();
}

void PlaybackCommands::WindowsMediaPlayer1_Click(int, int, float, float)
{
    m_state->AutoPlayState = 2;
}

} // namespace melodrift
