#pragma once

#include "playback/playbackstate.h"

#include <QWidget>

#include <memory>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace melodrift {

class BrowserCommands;
class DesktopLauncher;
class Dialogs;
class MediaPlayer;
class MprisService;
class PageFetcher;
class PlaybackCommands;
class PlayerView;
class SearchCommands;
class SongListBox;
class StatusBar;

//! What the window needs from the platform; tests hand in fakes.
struct MainWindowPlatform {
    QString programDir;                        //!< folder of the program file, where the skin lives
    std::shared_ptr<DesktopLauncher> launcher; //!< default browser
    std::shared_ptr<Dialogs> dialogs;
    MediaPlayer* player = nullptr; //!< the window takes it over
};

//! The one window, Form1, with every control in its fixed place.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowPlatform platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    //! Start-up: skin, default-browser check (with its modal box), player and start values.
    void Form_Load();
    //! A key typed in the keyword box; Enter (13) runs the search.
    void Text1_KeyPress(int keyAscii);
    void StatusBar1_MouseMove(int button, int shift, float x, float y);

    [[nodiscard]] QPushButton* Command1() const { return m_command1; }
    [[nodiscard]] QPushButton* Command2() const { return m_command2; }
    [[nodiscard]] QLineEdit* Text1() const { return m_text1; }
    [[nodiscard]] QRadioButton* Option1() const { return m_option1; }
    [[nodiscard]] QRadioButton* Option2() const { return m_option2; }
    [[nodiscard]] QRadioButton* Option3() const { return m_option3; }
    [[nodiscard]] QGroupBox* Frame1() const { return m_frame1; }
    [[nodiscard]] QGroupBox* Frame2() const { return m_frame2; }
    [[nodiscard]] QWidget* Picture2() const { return m_picture2; }
    [[nodiscard]] SongListBox* QMListBox1() const { return m_list; }
    [[nodiscard]] StatusBar* StatusBar1() const { return m_status; }
    [[nodiscard]] MediaPlayer* WindowsMediaPlayer1() const { return m_player; }
    [[nodiscard]] PlayerView* playerView() const { return m_playerView; }
    [[nodiscard]] QMenu* Menu() const { return m_menu; }
    [[nodiscard]] QAction* Pla() const { return m_pla; }
    [[nodiscard]] QAction* Dolown() const { return m_dolown; }
    [[nodiscard]] QAction* se360() const { return m_se360; }
    [[nodiscard]] SearchCommands* search() const { return m_search; }
    [[nodiscard]] PlaybackCommands* playback() const { return m_playback; }
    [[nodiscard]] BrowserCommands* browser() const { return m_browser; }
    [[nodiscard]] PageFetcher* fetcher() const { return m_fetcher; }
    [[nodiscard]] MprisService* mpris() const { return m_mpris; }
    [[nodiscard]] const PlaybackState& playbackState() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void wireEvents();

    MainWindowPlatform m_platform;

    QRadioButton* m_option3 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QRadioButton* m_option1 = nullptr;
    QButtonGroup* m_playModes = nullptr; // the three options, keyed by PlayMode
    QGroupBox* m_frame1 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    SongListBox* m_list = nullptr;
    QWidget* m_picture2 = nullptr;
    PlayerView* m_playerView = nullptr;
    MediaPlayer* m_player = nullptr;
    StatusBar* m_status = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command1 = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_pla = nullptr;
    QAction* m_dolown = nullptr;
    QAction* m_se360 = nullptr;

    PageFetcher* m_fetcher = nullptr;
    SearchCommands* m_search = nullptr;
    PlaybackCommands* m_playback = nullptr;
    BrowserCommands* m_browser = nullptr;
    MprisService* m_mpris = nullptr;
};

//! Pixels for a length in twips (15 twips to a pixel).
[[nodiscard]] constexpr int px(int twips)
{
    return twips / 15;
}

} // namespace melodrift
