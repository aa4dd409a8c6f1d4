#pragma once

#include <QHash>
#include <QObject>

#include <memory>

class QNetworkAccessManager;
class QWidget;

namespace melodrift {

class DesktopLauncher;
class Dialogs;
class Navigator;
class SaveLocation;
class SongListBox;
class StatusBar;
struct PlaybackState;

//! The form's browser code: the pop-up menu's download and real-address commands.
class BrowserCommands : public QObject {
    Q_OBJECT
public:
    //! Downloads go through `manager`; `window` parents the boxes.
    BrowserCommands(SongListBox* list, StatusBar* status, const PlaybackState* state, DesktopLauncher* launcher,
                    Dialogs* dialogs, QNetworkAccessManager* manager, QWidget* window, QObject* parent = nullptr);
    ~BrowserCommands() override;

    //! Loads the menu row's song page in the invisible browser.
    void Dolown_Click();
    //! Opens the menu row's song page in a 360 browser, or warns and opens its installer address.
    void se360_Click();

    [[nodiscard]] Navigator* WebBrowser1() const { return m_navigator; }

private:
    [[nodiscard]] bool menuRowExists() const;

    SongListBox* m_list;
    StatusBar* m_status;
    const PlaybackState* m_state;
    DesktopLauncher* m_launcher;
    Dialogs* m_dialogs;
    QWidget* m_window;
    std::unique_ptr<SaveLocation> m_saveLocation;
    Navigator* m_navigator;
    QHash<QString, QString> m_songOfPage; // song page -> title, to name a download that cannot start
};

} // namespace melodrift
