#include "net/pagefetch.h"

#include "net/netlog.h"
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
    // Qt's error codes 201-299 (HTTP 4xx) and 401-499 (HTTP 5xx) come from the status line; the
    // rest mean no complete response.
    return code == QNetworkReply::NoError || (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
}

Failure connectionFailure(const QNetworkReply& reply)
{
    if (hasCompleteResponse(reply))
        return {};
    Failure failure{Failure::Unreachable, 0, reply.errorString()};
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError:
        failure.kind = Failure::Refused;
        break;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
        failure.kind = Failure::HostNotFound;
        break;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::OperationCanceledError: // the transfer time-out ends a reply this way
        failure.kind = Failure::TimedOut;
        break;
    case QNetworkReply::RemoteHostClosedError:
        failure.kind = Failure::Interrupted;
        break;
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        failure.kind = Failure::RedirectLoop;
        break;
    default:
        break;
    }
    return failure;
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
        page.failure = *tooBig ? Failure{Failure::TooLarge, 0, {}} : connectionFailure(*reply);
        if (page.ok()) {
            std::optional<QString> text = DecodePage(reply->readAll(), charset);
            if (text)
                page.text = std::move(*text);
            else
                page.failure = Failure{Failure::Undecodable, 0, charset};
        }
        if (page.ok())
            qCInfo(lcNet) << "fetched" << url << "status"
                          << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() << "chars"
                          << page.text.size();
        else
            qCInfo(lcNet) << "fetch failed" << url << page.failure.kind << page.failure.detail;
        done(page);
    });
    return reply;
}

} // namespace melodrift
