#include "net/pagefetch.h"

#include "net/textcodec.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace melodrift {

namespace {
Q_LOGGING_CATEGORY(lcNet, "melodrift.net", QtWarningMsg)
} // namespace

PageFetcher::PageFetcher(QObject* parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

bool hasCompleteResponse(const QNetworkReply& reply)
{
    const int code = reply.error();
    // Qt's error codes 201-299 (HTTP 4xx) and 401-499 (HTTP 5xx) come from the status line; the
    // rest mean no complete response.
    return code == QNetworkReply::NoError || (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
}

QString connectionFailure(const QNetworkReply& reply)
{
    if (hasCompleteResponse(reply))
        return {};
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError:
        return QStringLiteral("连接被拒绝");
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
        return QStringLiteral("找不到服务器");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::OperationCanceledError: // the transfer time-out ends a reply this way
        return QStringLiteral("连接超时");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("连接中断");
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("网页转向出错");
    default:
        return QStringLiteral("无法连接");
    }
}

QNetworkReply* PageFetcher::GetHtml(const QString& url, const QString& charset, const QObject* context, Callback done)
{
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    request.setTransferTimeout(m_stallTimeoutMs);
    QNetworkReply* reply = m_manager->get(request);
    qCInfo(lcNet) << "fetch" << url;

    const qint64 maxBytes = m_maxBodyBytes;
    auto tooBig = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxBytes, tooBig](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes) {
            *tooBig = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    auto answer = std::make_shared<QMetaObject::Connection>();
    // A fetch whose reader is gone has no one to answer: stop it, without answering the half-destroyed reader.
    connect(context, &QObject::destroyed, reply, [reply, answer] {
        QObject::disconnect(*answer);
        reply->abort();
    });
    *answer = connect(reply, &QNetworkReply::finished, context, [reply, url, charset, tooBig, done = std::move(done)] {
        FetchedPage page;
        page.failure = *tooBig ? QStringLiteral("网页太大") : connectionFailure(*reply);
        if (page.ok()) {
            std::optional<QString> text = DecodePage(reply->readAll(), charset);
            if (text)
                page.text = std::move(*text);
            else
                page.failure = QStringLiteral("网页无法解码");
        }
        if (page.ok())
            qCInfo(lcNet) << "fetched" << url << "status"
                          << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() << "chars"
                          << page.text.size();
        else
            qCInfo(lcNet) << "fetch failed" << url << reply->errorString() << page.failure;
        done(page);
    });
    return reply;
}

} // namespace melodrift
