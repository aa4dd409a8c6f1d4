#pragma once

#include "net/failure.h"

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace melodrift {

//! Asks the person where to save a file that the navigator was given.
class SaveLocation {
public:
    virtual ~SaveLocation() = default;
    //! A path to save under, starting from `suggestedName`; "" when the person cancels.
    virtual QString chooseSavePath(const QString& suggestedName) = 0;
};

//! The invisible browser, WebBrowser1: loads an address as a browser would and shows nothing. A
//! web page is loaded and dropped; a file is offered for saving and written only once it is complete.
class Navigator : public QObject {
    Q_OBJECT
public:
    Navigator(QNetworkAccessManager* manager, SaveLocation* saveLocation, QObject* parent = nullptr);

    //! Starts loading and returns at once.
    void Navigate2(const QString& url);

Q_SIGNALS:
    void pageLoaded(const QUrl& url);
    void downloadProgress(const QString& fileName, qint64 received, qint64 total);
    //! `failure` is None when the file was saved at `path`.
    void downloadFinished(const QString& fileName, const QString& path, const melodrift::Failure& failure);
    //! The person chose not to save the file.
    void downloadCancelled(const QString& fileName);
    //! The address gave nothing to load: no connection, refused, timed out, or an error status.
    //! `url` is the address as given to Navigate2.
    void navigationFailed(const QString& url, const melodrift::Failure& failure);
    //! Whatever came of it, the address given to Navigate2 has been dealt with.
    void navigationEnded(const QString& url);

private:
    void onResponse(QNetworkReply* reply);
    void loadPage(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    SaveLocation* m_saveLocation;
};

//! True when a browser would save the answer instead of showing it.
[[nodiscard]] bool isFileResponse(const QByteArray& contentType, const QByteArray& contentDisposition);

} // namespace melodrift
