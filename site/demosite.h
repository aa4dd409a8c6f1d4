#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

namespace melodrift::site {

struct Song {
    QString id;
    QString title;
    QString singer;
    bool chinese = true;
};

//! The made-up catalogue the demo site searches.
[[nodiscard]] const QList<Song>& catalogue();

//! A small music site on loopback that answers every host, so the program can reach it as its
//! HTTP proxy. Serves GB2312 search pages, song addresses that redirect to synthesised WAV files,
//! and fault modes chosen by keyword ("_slow", "_silent", "_reset", "_404", "_huge", "_hugechunked", "_utf8",
//! "_upper", "_evil", "_markup", "_loop", "_special") or by song ID ("page", "cut", "slow",
//! "<id>&cd=<header>").
class DemoSite : public QObject {
    Q_OBJECT
public:
    explicit DemoSite(QObject* parent = nullptr);
    ~DemoSite() override;

    //! Listens on 127.0.0.1; port 0 picks a free one. False when the port cannot be had.
    bool listen(quint16 port = 0);
    [[nodiscard]] quint16 port() const;
    //! "http://127.0.0.1:<port>", for http_proxy.
    [[nodiscard]] QString proxyUrl() const;

    //! Every request seen, as "http://<host><path and query>" exactly as sent.
    [[nodiscard]] QStringList requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

    void setSongMilliseconds(int ms) { m_songMs = ms; }
    void setSlowMilliseconds(int ms) { m_slowMs = ms; }
    static constexpr int kPageSize = 20;

Q_SIGNALS:
    void requestSeen(const QString& url);

private:
    struct Request {
        QByteArray method;
        QByteArray host;
        QByteArray path;  // without the query
        QByteArray query; // without "?"
        QByteArray range;
    };

    void onConnection();
    void onReadable(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Request& request);
    void serveSearch(QTcpSocket* socket, const Request& request);
    void serveSongPage(QTcpSocket* socket, const Request& request);
    void serveAudio(QTcpSocket* socket, const Request& request);

    QTcpServer* m_server;
    QStringList m_requests;
    int m_songMs = 3000;
    int m_slowMs = 1500;
};

//! The value of one query parameter, percent-decoded to bytes; empty when absent.
[[nodiscard]] QByteArray queryValue(const QByteArray& query, const QByteArray& name);
//! A result page for a keyword (page counted from 1), as GB2312 bytes.
[[nodiscard]] QByteArray resultPage(const QString& keyword, int page, const QString& siteHost);
//! A mono 16-bit WAV file of a tone.
[[nodiscard]] QByteArray synthesiseWav(int milliseconds, double frequency);
//! One song link line of a result page.
[[nodiscard]] QString songLine(int number, const Song& song, const QString& siteHost);

} // namespace melodrift::site
