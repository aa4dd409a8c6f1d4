#pragma once

#include "playback/playbackstate.h"
#include "playback/playmode.h"

#include <QObject>
#include <QPoint>

class QButtonGroup;
class QMenu;

namespace melodrift {

class MediaPlayer;
class SongListBox;
class StatusBar;

//! The form's playback code: playing a row, the list's mouse feedback and pop-up menu, and the
//! player's events. The rules it follows (next row, song page address) live in the playback core.
class PlaybackCommands : public QObject {
    Q_OBJECT
public:
    //! `playModes` holds the play-mode buttons, each with its PlayMode as its ID.
    PlaybackCommands(SongListBox* list, StatusBar* status, MediaPlayer* player, QButtonGroup* playModes, QMenu* menu,
                     QObject* parent = nullptr);

    void PlaySong(int row);

    void QMListBox1_DblClick(int button, int shift, float x, float y);
    void QMListBox1_Click(int button, int shift, float x, float y);
    void QMListBox1_MouseMove(int button, int shift, float x, float y);
    void QMListBox1_MouseUp(int button, int shift, float x, float y);
    void Pla_Click();
    //! The keyboard's acts on a row (what the mouse's click, double-click and right-button
    //! release do at a point): show it, play it, open its menu at `at` in the list's viewport.
    void rowChosen(int row);
    void rowActivated(int row);
    void rowMenu(int row, QPoint at);

    void WindowsMediaPlayer1_PlayStateChange(int newState);
    void WindowsMediaPlayer1_StatusChange();
    void WindowsMediaPlayer1_Click(int button, int shift, float x, float y);

    //! The mode the option buttons choose at this moment.
    [[nodiscard]] PlayMode playMode() const;
    //! The automatic advance: the next row by `mode`, armed for re-play. Nothing without rows.
    void advance(PlayMode mode);
    //! Plays the row that playback would start from (PlayRow, kept within the list).
    void playFromList();
    //! The person's stop from outside the window (the desktop's): as a click on the player, it
    //! disarms the re-play, then stops.
    void stopFromDesktop();
    //! Start-up's part: playback starts from row 1.
    void startUp() { m_state.PlayRow = 1; }

    //! The play state; this object is its one writer.
    [[nodiscard]] const PlaybackState& state() const { return m_state; }

Q_SIGNALS:
    //! A row's song was given to the player.
    void songStarted(int row, const QString& id, const QString& title);

private:
    //! Tells the player the address the end of this song will choose, as it stands now (a
    //! random draw is taken on a copy of the generator, so the end's own draw gives the same row).
    void updateNext();

    SongListBox* m_list;
    StatusBar* m_status;
    MediaPlayer* m_player;
    QButtonGroup* m_playModes;
    QMenu* m_menu;
    PlaybackState m_state;
    PlayRandom m_random;
};

} // namespace melodrift
