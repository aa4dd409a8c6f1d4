#pragma once

#include "net/failure.h"

#include <QHash>
#include <QObject>

#include <functional>
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

//! The form's browser code: the pop-up menu's download and real-address commands.
class BrowserCommands : public QObject {
    Q_OBJECT
public:
    //! `menuRow` reads the row the pop-up menu was opened on (MenuRow); downloads go through
    //! `manager`; `window` parents the boxes.
    BrowserCommands(SongListBox* list, StatusBar* status, std::function<int()> menuRow, DesktopLauncher* launcher,
                    Dialogs* dialogs, QNetworkAccessManager* manager, QWidget* window, QObject* parent = nullptr);
    ~BrowserCommands() override;

    //! Loads the menu row's song page in the invisible browser.
    void Dolown_Click();
    //! Opens the menu row's song page in a 360 browser, or warns and opens its installer address.
    void se360_Click();

    [[nodiscard]] Navigator* WebBrowser1() const { return m_navigator; }

private:
    //! Opens an address in the default browser; a launch that fails is said in panel 2.
    void open(const QString& url);
    //! Says in panel 2 and in a box that the song `name` was not saved, and why.
    void downloadFailed(const QString& name, const Failure& failure);

    SongListBox* m_list;
    StatusBar* m_status;
    std::function<int()> m_menuRow;
    DesktopLauncher* m_launcher;
    Dialogs* m_dialogs;
    QWidget* m_window;
    std::unique_ptr<SaveLocation> m_saveLocation;
    Navigator* m_navigator;
    QHash<QString, QString> m_songOfPage; // song page -> title while it loads, to name a download that cannot start
};

} // namespace melodrift
