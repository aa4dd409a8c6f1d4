#include "net/pagefetch.h"

#include "net/textcodec.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace melodrift {

PageFetcher::PageFetcher(QObject* parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

bool hasCompleteResponse(const QNetworkReply& reply)
{
    const int code = reply.error();
    // 2xx and 4xx error codes come from the HTTP status line; the rest mean no complete response.
    return code == QNetworkReply::NoError || (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
}

QNetworkReply* PageFetcher::GetHtml(const QString& url, const QString& charset, const QObject* context, Callback done)
{
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    request.setTransferTimeout(m_stallTimeoutMs);
    QNetworkReply* reply = m_manager->get(request);

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
    *answer = connect(reply, &QNetworkReply::finished, context, [reply, charset, tooBig, done = std::move(done)] {
        if (*tooBig || !hasCompleteResponse(*reply)) {
            done(std::nullopt);
            return;
        }
        done(DecodePage(reply->readAll(), charset));
    });
    return reply;
}

} // namespace melodrift
