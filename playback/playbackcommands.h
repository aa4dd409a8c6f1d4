#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <random>

class QAbstractButton;
class QMenu;

namespace melodrift {

class MediaPlayer;
class SongListBox;
class StatusBar;

//! Window-level playback state shared by the play, list and menu commands.
struct PlaybackState {
    int MenuRow = 0;       //!< row under the pointer when the pop-up menu last opened; negative below the rows
    int PlayRow = 0;       //!< row playing or last played
    int AutoPlayState = 0; //!< 0 never armed, 1 armed by an automatic advance, 2 disarmed by a click on the player
};

//! "http://<site host>/mp3.asp?id=<id>", the ID unchanged.
[[nodiscard]] QString SongPageUrl(const QString& id);
//! A title as the list feedback shows it: without its space characters.
[[nodiscard]] QString DisplayTitle(const QString& title);

//! Source of the random play mode: uniform numbers in [0, 1), the same sequence in every run.
class PlayRandom {
public:
    [[nodiscard]] double next() { return m_engine() / 4294967296.0; }

private:
    std::mt19937 m_engine{20061207u};
};

//! Playing a row, the list's mouse feedback and pop-up menu, and the player's events.
class PlaybackCommands : public QObject {
    Q_OBJECT
public:
    //! `options` are the play-mode buttons: single track, loop the list, random.
    PlaybackCommands(SongListBox* list, StatusBar* status, MediaPlayer* player,
                     const std::array<QAbstractButton*, 3>& options, QMenu* menu, PlaybackState* state,
                     QObject* parent = nullptr);

    void PlaySong(int row);

    void QMListBox1_DblClick(int button, int shift, float x, float y);
    void QMListBox1_Click(int button, int shift, float x, float y);
    void QMListBox1_MouseMove(int button, int shift, float x, float y);
    void QMListBox1_MouseUp(int button, int shift, float x, float y);
    void Pla_Click();

    void WindowsMediaPlayer1_PlayStateChange(int newState);
    //! The automatic advance: the next row by the play mode, armed for re-play. Nothing without rows.
    void advance();
    void WindowsMediaPlayer1_StatusChange();
    void WindowsMediaPlayer1_Click(int button, int shift, float x, float y);

    [[nodiscard]] const PlaybackState& state() const { return *m_state; }

Q_SIGNALS:
    //! A row's song was given to the player.
    void songStarted(int row);

private:
    SongListBox* m_list;
    StatusBar* m_status;
    MediaPlayer* m_player;
    std::array<QAbstractButton*, 3> m_options;
    QMenu* m_menu;
    PlaybackState* m_state;
    PlayRandom m_random;
};

} // namespace melodrift
