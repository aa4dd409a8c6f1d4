#include "browser/navigator.h"

#include "browser/browserlog.h"
#include "browser/download.h"
#include "browser/filename.h"
#include "net/pagefetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

namespace melodrift {

bool isFileResponse(const QByteArray& contentType, const QByteArray& contentDisposition)
{
    const QByteArray type = contentType.split(';').first().trimmed().toLower();
    if (type.startsWith("audio/") || type == "application/octet-stream")
        return true;
    return contentDisposition.trimmed().toLower().startsWith("attachment");
}

Navigator::Navigator(QNetworkAccessManager* manager, SaveLocation* saveLocation, QObject* parent)
    : QObject(parent), m_manager(manager), m_saveLocation(saveLocation)
{
}

namespace {

//! Why an address gave nothing; None when it gave an answer to load.
Failure failureOf(const QNetworkReply& reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        return {Failure::HttpStatus, status, reply.errorString()};
    if (status > 0)
        return {};
    return connectionFailure(reply);
}

} // namespace

void Navigator::Navigate2(const QString& url)
{
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    request.setAttribute(QNetworkRequest::User, url);
    request.setTransferTimeout(PageFetcher::kDefaultStallTimeoutMs);
    QNetworkReply* reply = m_manager->get(request);
    qCInfo(lcBrowser) << "navigate" << url;
    // Every way out (a page, a download at its end, a cancel, a failure) lets the reply go.
    connect(reply, &QObject::destroyed, this, [this, url] { Q_EMIT navigationEnded(url); });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        // Redirects report their own headers first; decide on the final answer only.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400 && reply->hasRawHeader("Location"))
            return;
        if (reply->property("melodrift.decided").toBool())
            return;
        reply->setProperty("melodrift.decided", true);
        onResponse(reply);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (!reply->property("melodrift.decided").toBool()) {
            reply->setProperty("melodrift.decided", true);
            onResponse(reply);
        }
    });
}

void Navigator::onResponse(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const Failure failure = failureOf(*reply);
    qCInfo(lcBrowser) << "answer" << reply->url().toString() << "status" << status << failure.kind << failure.detail;
    if (failure.failed()) {
        reply->abort();
        reply->deleteLater();
        Q_EMIT navigationFailed(reply->request().attribute(QNetworkRequest::User).toString(), failure);
        return;
    }
    const QByteArray disposition = reply->rawHeader("Content-Disposition");
    const bool file = status >= 200 && status < 300 &&
                      isFileResponse(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), disposition);
    if (!file) {
        loadPage(reply);
        return;
    }

    const QString name = SuggestedFileName(disposition, reply->url());
    // The reply keeps buffering while the person chooses where to save.
    QPointer<QNetworkReply> guard(reply);
    const QString path = m_saveLocation->chooseSavePath(name);
    if (!guard)
        return;
    if (path.isEmpty()) {
        reply->abort();
        reply->deleteLater();
        Q_EMIT downloadCancelled(name);
        return;
    }
    auto* download = new Download(reply, name, path, this);
    connect(download, &Download::progress, this, &Navigator::downloadProgress);
    connect(download, &Download::finished, this, &Navigator::downloadFinished);
    download->start();
}

void Navigator::loadPage(QNetworkReply* reply)
{
    // A web page: loaded and not shown.
    connect(reply, &QNetworkReply::readyRead, reply, [reply] { reply->skip(reply->bytesAvailable()); });
    auto finish = [this, reply] {
        reply->deleteLater();
        Q_EMIT pageLoaded(reply->url());
    };
    if (reply->isFinished())
        finish();
    else
        connect(reply, &QNetworkReply::finished, this, finish);
}

} // namespace melodrift
