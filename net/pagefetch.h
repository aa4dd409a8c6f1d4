#pragma once

#include "net/failure.h"

#include <QObject>
#include <QString>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace melodrift {

//! A fetched page's text, or why there is none.
struct FetchedPage {
    QString text;
    Failure failure;
    [[nodiscard]] bool ok() const { return !failure.failed(); }
};

//! Fetches web pages over HTTP through the system proxy settings (http_proxy), following redirects.
//! Never blocks: the answer arrives through a callback once the response is complete.
class PageFetcher : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(const FetchedPage&)>;

    static constexpr int kDefaultStallTimeoutMs = 30'000;
    static constexpr qint64 kDefaultMaxBodyBytes = 16 * 1024 * 1024;

    explicit PageFetcher(QObject* parent = nullptr);

    //! GETs `url` and decodes the body by `charset` ("auto" or a character-set name). An error
    //! status is not a failure: its body is returned. It fails with a reason when no complete
    //! answer came (no connection, refused, timed out), the body is over the size cap, or it cannot
    //! be decoded. `done` runs once, unless `context` is destroyed first. The returned reply may be
    //! aborted; `done` then reports a failure.
    QNetworkReply* GetHtml(const QString& url, const QString& charset, const QObject* context, Callback done);

    //! Milliseconds without progress after which a fetch fails.
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }
    //! Bodies larger than this fail.
    void setMaxBodyBytes(qint64 bytes) { m_maxBodyBytes = bytes; }

    [[nodiscard]] QNetworkAccessManager* manager() const { return m_manager; }

private:
    QNetworkAccessManager* m_manager;
    int m_stallTimeoutMs = kDefaultStallTimeoutMs;
    qint64 m_maxBodyBytes = kDefaultMaxBodyBytes;
};

//! True when the reply ended with a complete HTTP response, whatever its status code.
[[nodiscard]] bool hasCompleteResponse(const QNetworkReply& reply);
//! Why a finished reply brought no complete response; None when it did.
[[nodiscard]] Failure connectionFailure(const QNetworkReply& reply);

} // namespace melodrift
