#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace melodrift {

//! Fetches web pages over HTTP through the system proxy settings (http_proxy), following redirects.
//! Never blocks: the answer arrives through a callback once the response is complete.
class PageFetcher : public QObject {
    Q_OBJECT
public:
    //! Page text, or nullopt when the fetch or the decoding failed.
    using Callback = std::function<void(std::optional<QString>)>;

    static constexpr int kDefaultStallTimeoutMs = 30'000;
    static constexpr qint64 kDefaultMaxBodyBytes = 16 * 1024 * 1024;

    explicit PageFetcher(QObject* parent = nullptr);

    //! GETs `url` and decodes the body by `charset` ("auto" or a character-set name). An error
    //! status is not a failure: its body is returned. `done` runs once, unless `context` is destroyed
    //! first. The returned reply may be aborted; `done` then reports a failure.
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

} // namespace melodrift
