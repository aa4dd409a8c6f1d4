#include "playback/playbackcommands.h"

#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "net/musicsite.h"
#include "playback/mediaplayer.h"
#include "playback/songpage.h"
#include "playback/statustext.h"

#include <QButtonGroup>
#include <QMenu>

namespace melodrift {

namespace {
// The play colour the program writes on every play (green 192).
const QColor kPlayTextColor(0x00, 0xC0, 0x00);
} // namespace

PlaybackCommands::PlaybackCommands(SongListBox* list, StatusBar* status, MediaPlayer* player, QButtonGroup* playModes,
                                   QMenu* menu, QObject* parent)
    : QObject(parent), m_list(list), m_status(status), m_player(player), m_playModes(playModes), m_menu(menu)
{
    // Whatever may change the end's choice tells the player again.
    connect(m_playModes, &QButtonGroup::idToggled, this, &PlaybackCommands::updateNext);
    const QAbstractItemModel* songs = m_list->songs();
    connect(songs, &QAbstractItemModel::modelReset, this, &PlaybackCommands::updateNext);
    connect(songs, &QAbstractItemModel::rowsInserted, this, &PlaybackCommands::updateNext);
    connect(songs, &QAbstractItemModel::rowsRemoved, this, &PlaybackCommands::updateNext);
}

void PlaybackCommands::updateNext()
{
    const int n = m_list->ListCount();
    if (n < 1) {
        m_player->setNextURL({});
        return;
    }
    PlayRandom draw = m_random;
    const int row = NextRow(playMode(), m_state.PlayRow, n, draw);
    m_player->setNextURL(SongPageUrl(m_list->songs()->at(row).id));
}

void PlaybackCommands::PlaySong(int row)
{
    const SongRow song = m_list->songs()->at(row); // a copy: the receivers may change the list
    m_list->PlayItem(row);
    m_list->PlayTextColor(kPlayTextColor);
    m_state.PlayRow = row;
    // The address first, then the text; the advance does it the other way round, as the design has it.
    m_player->setURL(SongPageUrl(song.id));
    updateNext();
    m_status->setPanelText(2, u"正在播放：" + song.title);
    Q_EMIT songStarted(row, song.id, song.title);
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
    if (!m_list->songs()->isRow(m_state.MenuRow))
        return;
    PlaySong(m_state.MenuRow);
}

void PlaybackCommands::QMListBox1_Click(int, int, float x, float y)
{
    rowChosen(m_list->HitTest(x, y));
}

void PlaybackCommands::rowChosen(int row)
{
    if (row < 0)
        return;
    const SongRow& song = m_list->songs()->at(row);
    m_status->setPanelText(1, u"ID：" + song.id);
    m_status->setPanelText(2, u"曲名：" + DisplayTitle(song.title));
}

void PlaybackCommands::QMListBox1_MouseMove(int, int, float x, float y)
{
    const int row = m_list->HitTest(x, y);
    if (row < 0)
        return;
    const SongRow& song = m_list->songs()->at(row);
    m_list->setToolTipText(u"ID：" + song.id + u"\r\n\t 曲名：" + DisplayTitle(song.title));
}

void PlaybackCommands::QMListBox1_MouseUp(int button, int, float x, float y)
{
    if (m_list->ListCount() < 1)
        return;
    if (button != 2)
        return;
    rowMenu(m_list->HitTest(x, y), QPointF(x, y).toPoint());
}

void PlaybackCommands::rowMenu(int row, QPoint at)
{
    if (m_list->ListCount() < 1)
        return;
    m_state.MenuRow = row;
    m_menu->popup(m_list->viewport()->mapToGlobal(at));
}

void PlaybackCommands::rowActivated(int row)
{
    if (row >= 0)
        PlaySong(row);
}

PlayMode PlaybackCommands::playMode() const
{
    const int id = m_playModes->checkedId();
    return id < 0 ? PlayMode::Random : static_cast<PlayMode>(id);
}

void PlaybackCommands::WindowsMediaPlayer1_PlayStateChange(int)
{
    if (m_player->playState() != MediaPlayer::MediaEnded)
        return;
    // The mode is read when the song ends, so a mode chosen while it played applies.
    advance(playMode());
}

void PlaybackCommands::advance(PlayMode mode)
{
    const int n = m_list->ListCount();
    // With no rows left there is nothing to play next.
    if (n < 1)
        return;
    const int row = NextRow(mode, m_state.PlayRow, n, m_random);
    m_state.PlayRow = row;
    // Armed before the address is given: the status change it brings already finds it armed.
    m_state.AutoPlayState = AutoPlay::Armed;
    const SongRow song = m_list->songs()->at(row);
    m_list->PlayItem(row);
    m_list->PlayTextColor(kPlayTextColor);
    m_status->setPanelText(2, u"正在播放：" + song.title);
    m_player->setURL(SongPageUrl(song.id));
    updateNext();
    Q_EMIT songStarted(row, song.id, song.title);
}

void PlaybackCommands::playFromList()
{
    if (m_list->ListCount() >= 1)
        PlaySong(qBound(1, m_state.PlayRow, m_list->ListCount()));
}

void PlaybackCommands::WindowsMediaPlayer1_StatusChange()
{
    m_status->setPanelText(3, u"播放器状态：" + playerStatusText(m_player->status()));
    if (m_player->playState() == MediaPlayer::Stopped && m_state.AutoPlayState == AutoPlay::Armed)
        m_player->play();
}

void PlaybackCommands::WindowsMediaPlayer1_Click(int, int, float, float)
{
    m_state.AutoPlayState = AutoPlay::Disarmed;
}

void PlaybackCommands::stopFromDesktop()
{
    m_state.AutoPlayState = AutoPlay::Disarmed;
    m_player->stop();
}

} // namespace melodrift
