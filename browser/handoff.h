#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QWidget;

namespace melodrift {

class DesktopLauncher;
class Dialogs;
class SongListBox;
class StatusBar;
struct PlaybackState;

//! The invisible browser: loads an address as a browser would and shows nothing. A web page is
//! loaded and dropped; a file is offered for saving and written only once it is complete.
class Navigator : public QObject {
    Q_OBJECT
public:
    Navigator(QNetworkAccessManager* manager, Dialogs* dialogs, QWidget* dialogParent, QObject* parent = nullptr);

    //! Starts loading and returns at once.
    void Navigate2(const QString& url);

Q_SIGNALS:
    void pageLoaded(const QUrl& url);
    void downloadProgress(const QString& fileName, qint64 received, qint64 total);
    //! `error` is empty when the file was saved at `path`.
    void downloadFinished(const QString& fileName, const QString& path, const QString& error);

private:
    void onResponse(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    Dialogs* m_dialogs;
    QWidget* m_dialogParent;
};

//! True when a browser would save the answer instead of showing it.
[[nodiscard]] bool isFileResponse(const QByteArray& contentType, const QByteArray& contentDisposition);

//! The pop-up menu's download and real-address commands.
class BrowserCommands : public QObject {
    Q_OBJECT
public:
    BrowserCommands(SongListBox* list, StatusBar* status, const PlaybackState* state, DesktopLauncher* launcher,
                    Dialogs* dialogs, Navigator* webBrowser1, QWidget* window, QObject* parent = nullptr);

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
    Navigator* m_navigator;
    QWidget* m_window;
};

} // namespace melodrift
