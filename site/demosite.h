#pragma once

#include "site/mp3tone.h"

#include <QByteArray>
#include <QHash>
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

//! The bytes of one song as served: a head, a stretch repeated `loops` times and `partial` bytes
//! more of it, a tail. Songs of minutes are never held whole.
struct SongFile {
    QByteArray head;
    QByteArray loop;
    qint64 loops = 0;
    qsizetype partial = 0;
    QByteArray tail;

    [[nodiscard]] bool isEmpty() const { return size() == 0; }
    [[nodiscard]] qint64 size() const { return head.size() + loops * loop.size() + partial + tail.size(); }
    [[nodiscard]] QByteArray mid(qint64 from, qint64 length) const;
};

//! A small music site on loopback that answers every host, so the program can reach it as its
//! HTTP proxy. Serves GB2312 search pages and song pages that redirect to the song: an MP3 of
//! minutes at 128 kbit/s with ID3v2 and ID3v1 tags (or a WAV file, when asked), with byte ranges
//! (206), sent at a network's pace. Fault modes are chosen by keyword ("_slow", "_silent", "_reset",
//! "_404", "_huge", "_hugechunked", "_utf8", "_upper", "_evil", "_markup", "_loop", "_special"), by
//! song ID ("page", "cut", "slow", "<id>&cd=<header>", "stall": the song page is accepted and never
//! answered) or by addStall().
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
    //! The Range header of each request in requests(), "" where there was none.
    [[nodiscard]] QList<QByteArray> ranges() const { return m_ranges; }
    void clearRequests();

    enum class Format { Mp3, Wav };
    void setSongFormat(Format format) { m_format = format; }
    //! Every song lasts `ms`; 0, the default, gives each song minutes of its own (2:30 to 4:29).
    void setSongMilliseconds(int ms) { m_songMs = ms; }
    //! Songs are sent at this many bytes a second after a first burst; 0 sends them at once.
    void setSendRate(int bytesPerSecond) { m_sendRate = bytesPerSecond; }
    void setSlowMilliseconds(int ms) { m_slowMs = ms; }
    //! Every answer waits this long, as a site far away answers a new connection.
    void setAnswerDelay(int ms) { m_answerDelayMs = ms; }
    //! The next song sent that reaches byte `offset` of its file stops there, once: the connection
    //! stays open and nothing more comes for `holdMs` (for ever when negative). Stalls are used in
    //! the order added.
    void addStall(qint64 offset, int holdMs = -1) { m_stalls.append({offset, holdMs}); }
    void clearStalls() { m_stalls.clear(); }
    //! Every song file sent holds its last tenth back this long (0: never), as a link that stalls.
    void setTailHold(int ms) { m_tailHoldMs = ms; }
    //! The bytes of a song of the catalogue as served now (format and length); empty for other IDs.
    [[nodiscard]] QByteArray songFile(const QString& id);
    //! How long a song of the catalogue lasts as served now.
    [[nodiscard]] int songMilliseconds(const QString& id) const;
    static constexpr int kPageSize = 20;
    //! Four times the MP3 bit rate: a song downloads in a quarter of its length.
    static constexpr int kDefaultSendRate = 64'000;

Q_SIGNALS:
    //! `range` is the request's Range header, "" when it has none.
    void requestSeen(const QString& url, const QByteArray& range);

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
    [[nodiscard]] SongFile song(const QString& id);
    //! Sends bytes [from, from + length) of `file` at the send rate, then closes.
    void send(QTcpSocket* socket, const SongFile& file, qint64 from, qint64 length);

    QTcpServer* m_server;
    QStringList m_requests;
    QList<QByteArray> m_ranges;
    QHash<int, Mp3Loop> m_loops;           // MP3 stretches by harmonic
    QHash<QString, QByteArray> m_wavFiles; // by "<ms>/<id>"
    struct Stall {
        qint64 offset = 0;
        int holdMs = -1;
    };
    QList<Stall> m_stalls;
    int m_tailHoldMs = 0;
    Format m_format = Format::Mp3;
    int m_songMs = 0;
    int m_sendRate = kDefaultSendRate;
    int m_slowMs = 1500;
    int m_answerDelayMs = 0;
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
