#include "site/demosite.h"

#include "net/musicsite.h"
#include "site/mp3tone.h"

#include <QElapsedTimer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <memory>

namespace melodrift::site {

namespace {

constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

QByteArray statusText(int code)
{
    switch (code) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 416:
        return "Range Not Satisfiable";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Unknown";
    }
}

QByteArray responseHead(int code, const QByteArray& contentType, qint64 contentLength,
                        const QList<QByteArray>& extraHeaders)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(code) + ' ' + statusText(code) + "\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    for (const QByteArray& header : extraHeaders)
        head += header + "\r\n";
    return head + "Connection: close\r\n\r\n";
}

void writeResponse(QTcpSocket* socket, int code, const QByteArray& contentType, const QByteArray& body,
                   const QList<QByteArray>& extraHeaders = {})
{
    socket->write(responseHead(code, contentType, body.size(), extraHeaders));
    socket->write(body);
    socket->disconnectFromHost();
}

const Song* findSong(const QString& id)
{
    const auto found =
        std::find_if(catalogue().begin(), catalogue().end(), [&id](const Song& s) { return s.id == id; });
    return found == catalogue().end() ? nullptr : &*found;
}

bool matches(const Song& song, const QString& keyword)
{
    const QString haystack = song.title + u' ' + song.singer + u" mp3 " +
                             (song.chinese ? QStringLiteral("中文歌曲") : QStringLiteral("英文歌曲"));
    const QStringList tokens = keyword.split(QChar(u' '), Qt::SkipEmptyParts);
    for (const QString& token : tokens) {
        if (!haystack.contains(token, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

QString pageHead(const QString& charset, const QString& keyword)
{
    return u"<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset +
           u"\">\r\n<title>" + keyword.toHtmlEscaped() +
           u" - MP3搜索</title>\r\n</head>\r\n<body>\r\n<div class=\"soList\">\r\n<ul>\r\n";
}

QString pageTail(int page)
{
    return u"</ul>\r\n</div>\r\n<div class=\"" + musicsite::kResultsEnd + u"\"><a href=\"" + musicsite::kSearchPath +
           u"?page=" + QString::number(page + 1) + u"\">下一页</a></div>\r\n</body>\r\n</html>\r\n";
}

QString pathologicalLine()
{
    // Many ">" and no "</a>": the link pattern backtracks until the engine gives up.
    return u"<li><span class=\"songName\"><a href=\"http://" + QString(u"x>"_qs).repeated(30000) + u"\r\n";
}

} // namespace

const QList<Song>& catalogue()
{
    static const QList<Song> songs = [] {
        QList<Song> list;
        const QStringList firsts = {QStringLiteral("月光"), QStringLiteral("春风"), QStringLiteral("夜雨"),
                                    QStringLiteral("星河"), QStringLiteral("海风"), QStringLiteral("远山"),
                                    QStringLiteral("晚霞"), QStringLiteral("初雪")};
        const QStringList seconds = {QStringLiteral("下的爱"), QStringLiteral("与你"),   QStringLiteral("的歌"),
                                     QStringLiteral("之恋"),   QStringLiteral("的约定"), QStringLiteral("里的梦")};
        const QStringList singers = {QStringLiteral("林晓"), QStringLiteral("陈雨"), QStringLiteral("王小川"),
                                     QStringLiteral("赵一鸣"), QStringLiteral("周琳")};
        int id = 100001;
        for (const QString& first : firsts) {
            for (const QString& second : seconds) {
                list.append({QString::number(id), first + second, singers[list.size() % singers.size()], true});
                ++id;
            }
        }
        const QStringList latin = {
            QStringLiteral("Sunrise"),        QStringLiteral("Blue-River"),     QStringLiteral("Night-Train"),
            QStringLiteral("Paper-Moon"),     QStringLiteral("Silver-Lake"),    QStringLiteral("Morning-Light"),
            QStringLiteral("Echoes"),         QStringLiteral("Wildflower"),     QStringLiteral("Northern-Star"),
            QStringLiteral("Golden-Hour"),    QStringLiteral("Rainy-Day"),      QStringLiteral("Love-Letter"),
            QStringLiteral("Starlight"),      QStringLiteral("Lost-and-Found"), QStringLiteral("Home-Again"),
            QStringLiteral("Firefly"),        QStringLiteral("Winter-Song"),    QStringLiteral("City-Lights"),
            QStringLiteral("Love-Me-Slowly"), QStringLiteral("Daydream")};
        const QStringList bands = {QStringLiteral("The-Lanterns"), QStringLiteral("Mira"), QStringLiteral("Kite-Club")};
        for (const QString& title : latin) {
            list.append({QString::number(id), title, bands[list.size() % bands.size()], false});
            ++id;
        }
        return list;
    }();
    return songs;
}

QString songLine(int number, const Song& song, const QString& siteHost)
{
    return u"<li><span " + musicsite::kResultsBegin + u">" + QString::number(number) +
           u"</span><span class=\"songName\"><a href=\"" + musicsite::origin(musicsite::playPathPrefix(siteHost)) +
           song.id + u".htm\">" + song.title + u"</a><a href=\"/s/" + QString::number(song.singer.size()) +
           u".htm\" target=\"_blank\">" + song.singer + u"</a></span></li>\r\n";
}

QByteArray resultPage(const QString& keyword, int page, const QString& siteHost)
{
    QString html = pageHead(QStringLiteral("gb2312"), keyword);
    int found = 0;
    for (const Song& song : catalogue()) {
        if (!matches(song, keyword))
            continue;
        ++found;
        if (found > (page - 1) * DemoSite::kPageSize && found <= page * DemoSite::kPageSize)
            html += songLine(found, song, siteHost);
    }
    html += pageTail(page);
    return gbk(html);
}

QByteArray synthesiseWav(int milliseconds, double frequency)
{
    constexpr int kRate = 8000;
    const int samples = qMax(1, kRate * milliseconds / 1000);
    QByteArray wav(44 + samples * 2, Qt::Uninitialized);
    char* p = wav.data();
    auto put32 = [&p](quint32 v) {
        qToLittleEndian(v, p);
        p += 4;
    };
    auto put16 = [&p](quint16 v) {
        qToLittleEndian(v, p);
        p += 2;
    };
    auto tag = [&p](const char* t) {
        memcpy(p, t, 4);
        p += 4;
    };
    tag("RIFF");
    put32(quint32(36 + samples * 2));
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    tag("data");
    put32(quint32(samples * 2));
    for (int i = 0; i < samples; ++i)
        put16(quint16(qint16(8000 * std::sin(2 * M_PI * frequency * i / kRate))));
    return wav;
}

QByteArray queryValue(const QByteArray& query, const QByteArray& name)
{
    for (const QByteArray& pair : query.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq >= 0 && pair.left(eq) == name)
            return QByteArray::fromPercentEncoding(pair.mid(eq + 1));
    }
    return {};
}

DemoSite::DemoSite(QObject* parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &DemoSite::onConnection);
}

DemoSite::~DemoSite() = default;

bool DemoSite::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 DemoSite::port() const
{
    return m_server->serverPort();
}

QString DemoSite::proxyUrl() const
{
    return u"http://127.0.0.1:" + QString::number(port());
}

void DemoSite::clearRequests()
{
    m_requests.clear();
    m_ranges.clear();
}

QByteArray SongFile::mid(qint64 from, qint64 length) const
{
    QByteArray out;
    const qint64 end = qMin(size(), from + length);
    qint64 at = qMax<qint64>(0, from);
    out.reserve(qsizetype(qMax<qint64>(0, end - at)));
    auto take = [&](const QByteArray& part, qint64 partStart, qint64 partSize) {
        if (at >= end || at >= partStart + partSize || at < partStart)
            return;
        const qint64 n = qMin(end, partStart + partSize) - at;
        out.append(part.constData() + (at - partStart), qsizetype(n));
        at += n;
    };
    take(head, 0, head.size());
    const qint64 body = head.size();
    const qint64 repeated = loops * loop.size() + partial;
    while (at < end && at >= body && at < body + repeated && !loop.isEmpty()) {
        const qint64 inLoop = (at - body) % loop.size();
        const qint64 n = std::min({end - at, qint64(loop.size()) - inLoop, body + repeated - at});
        out.append(loop.constData() + inLoop, qsizetype(n));
        at += n;
    }
    take(tail, body + repeated, tail.size());
    return out;
}

int DemoSite::songMilliseconds(const QString& id) const
{
    // Between 2:30 and 4:29, the same for a song every time.
    return m_songMs > 0 ? m_songMs : (150 + id.toInt() % 120) * 1000;
}

SongFile DemoSite::song(const QString& id)
{
    const Song* found = findSong(id);
    if (found == nullptr)
        return {};
    const int ms = songMilliseconds(id);
    SongFile file;
    if (m_format == Format::Wav) {
        const QString key = QString::number(ms) + u'/' + id;
        auto wav = m_wavFiles.find(key);
        if (wav == m_wavFiles.end())
            wav = m_wavFiles.insert(key, synthesiseWav(ms, 220 + 10 * (id.toInt() % 40)));
        file.head = *wav;
        return file;
    }
    const int harmonic = 6 + id.toInt() % 12;
    auto loop = m_loops.find(harmonic);
    if (loop == m_loops.end())
        loop = m_loops.insert(harmonic, mp3Loop(harmonic));
    if (loop->frames.isEmpty())
        return {};
    // Exactly `ms` of music: whole frames, less the encoder's delay and its padding, as LAME's tag says.
    constexpr int kDecoderDelay = 529; // what a decoder keeps back of the last frame
    const qint64 samples = qint64(ms) * 44100 / 1000;
    const qint64 frames = (samples + kLameEncoderDelay + kDecoderDelay + 1151) / 1152;
    const qint64 perLoop = loop->frames.size();
    file.loop = loop->bytes;
    file.loops = frames / perLoop;
    file.partial = frames % perLoop == 0 ? 0 : loop->frames[qsizetype(frames % perLoop)];
    const QByteArray info =
        lameInfoFrame(loop->bytes, quint32(frames), quint32(file.loops * loop->bytes.size() + file.partial + 417),
                      int(frames * 1152 - kLameEncoderDelay - samples));
    file.head = id3v2Tag(found->title, found->singer) + info;
    file.tail = id3v1Tag(id.toLatin1());
    return file;
}

QByteArray DemoSite::songFile(const QString& id)
{
    const SongFile file = song(id);
    return file.mid(0, file.size());
}

void DemoSite::send(QTcpSocket* socket, const SongFile& file, qint64 from, qint64 length)
{
    const qint64 end = from + length;
    auto sent = std::make_shared<qint64>(from);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto* timer = new QTimer(socket);
    const int rate = m_sendRate;
    // A first burst, as a connection's start gives it, then the rate.
    const qint64 burst = rate > 0 ? qMin<qint64>(length, 32 * 1024) : length;
    // This connection's own hold of the file's last tenth.
    auto tail = std::make_shared<Stall>(Stall{m_tailHoldMs > 0 ? file.size() * 9 / 10 : -1, m_tailHoldMs});
    auto pump = [this, socket, timer, clock, file, from, end, sent, rate, burst, tail] {
        qint64 target = qMin(end, rate > 0 ? from + burst + clock->elapsed() * rate / 1000 : end);
        // A stall is spent by the connection that reaches it, not by one that is dropped before.
        const auto ahead = [&](const Stall& stall) { return stall.offset >= *sent && stall.offset < target; };
        Stall* stall = nullptr;
        if (!m_stalls.isEmpty() && ahead(m_stalls.first()))
            stall = &m_stalls.first();
        else if (tail->offset >= 0 && ahead(*tail))
            stall = tail.get();
        if (stall != nullptr)
            target = stall->offset;
        // What the socket has not sent yet counts as not sent: the pace is the wire's.
        if (*sent < target && socket->bytesToWrite() < 256 * 1024) {
            const qint64 n = qMin<qint64>(target - *sent, 256 * 1024);
            socket->write(file.mid(*sent, n));
            *sent += n;
        }
        if (stall != nullptr && *sent >= target) {
            const int hold = stall->holdMs;
            if (stall == tail.get())
                *tail = {-1, -1};
            else
                m_stalls.removeFirst();
            timer->stop(); // the connection stays open and nothing more comes, or not for a while
            if (hold >= 0)
                QTimer::singleShot(hold, timer, [timer] { timer->start(); });
        } else if (*sent >= end) {
            timer->stop();
            socket->disconnectFromHost();
        }
    };
    connect(timer, &QTimer::timeout, socket, pump);
    timer->start(rate > 0 ? 20 : 0);
    pump();
}

void DemoSite::onConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
    }
}

void DemoSite::onReadable(QTcpSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffer.size() > kMaxHeaderBytes)
            socket->abort();
        else
            socket->setProperty("buffer", buffer);
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    QByteArray target = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).trimmed().toLower();
        if (name == "host")
            request.host = line.mid(colon + 1).trimmed();
        else if (name == "range")
            request.range = line.mid(colon + 1).trimmed();
    }
    // As a proxy we are sent the absolute address.
    if (target.startsWith("http://")) {
        const qsizetype slash = target.indexOf('/', 7);
        request.host = target.mid(7, slash < 0 ? -1 : slash - 7);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    const qsizetype question = target.indexOf('?');
    request.path = question < 0 ? target : target.left(question);
    request.query = question < 0 ? QByteArray() : target.mid(question + 1);
    const QString url = QString::fromLatin1("http://" + request.host + target);
    m_requests.append(url);
    m_ranges.append(request.range);
    Q_EMIT requestSeen(url, request.range);
    if (m_answerDelayMs > 0)
        QTimer::singleShot(m_answerDelayMs, socket, [this, socket, request] { respond(socket, request); });
    else
        respond(socket, request);
}

void DemoSite::respond(QTcpSocket* socket, const Request& request)
{
    if (request.path == musicsite::kSearchPath.toLatin1())
        serveSearch(socket, request);
    else if (request.path == musicsite::kSongPagePath.toLatin1())
        serveSongPage(socket, request);
    else if (request.path.startsWith("/audio/"))
        serveAudio(socket, request);
    else
        writeResponse(socket, 404, "text/html; charset=utf-8", "<html><body>404 Not Found</body></html>");
}

void DemoSite::serveSearch(QTcpSocket* socket, const Request& request)
{
    const QString keyword = fromGbk(queryValue(request.query, "key"));
    const int page = qMax(1, queryValue(request.query, "page").toInt());
    const QString siteHost = musicsite::siteHost();
    const QByteArray html = "text/html; charset=gb2312";

    if (keyword == u"_slow") {
        QTimer::singleShot(m_slowMs, socket, [socket, page, siteHost, html] {
            writeResponse(socket, 200, html, resultPage(QString(), page, siteHost));
        });
    } else if (keyword == u"_silent") {
        // Keep the connection open and never answer.
    } else if (keyword == u"_reset") {
        const QByteArray body = resultPage(QString(), page, siteHost);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + html +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n");
        socket->write(body.left(body.size() / 2));
        socket->flush();
        QTimer::singleShot(50, socket, [socket] { socket->abort(); });
    } else if (keyword == u"_404" || keyword == u"_500") {
        // An error page that still lists songs.
        writeResponse(socket, keyword.mid(1).toInt(), html, resultPage(QStringLiteral("月光"), 1, siteHost));
    } else if (keyword == u"_huge") {
        QByteArray body = resultPage(QString(), 1, siteHost);
        body.append(QByteArray(20 * 1024 * 1024, ' '));
        writeResponse(socket, 200, html, body);
    } else if (keyword == u"_hugechunked") {
        // 20 MiB with no length announced: only the bytes themselves tell.
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + html + "\r\nTransfer-Encoding: chunked\r\n\r\n");
        const QByteArray chunk(64 * 1024, ' ');
        const QByteArray head = QByteArray::number(chunk.size(), 16) + "\r\n";
        for (int i = 0; i < 20 * 16; ++i)
            socket->write(head + chunk + "\r\n");
        socket->write("0\r\n\r\n");
        socket->disconnectFromHost();
    } else if (keyword == u"_utf8" || keyword == u"_markup") {
        QString text = pageHead(QStringLiteral("utf-8"), keyword);
        if (keyword == u"_utf8") {
            for (int i = 0; i < 3; ++i)
                text += songLine(i + 1, catalogue()[i], siteHost);
        } else {
            const QStringList titles = {QStringLiteral("<b>x</b>"), QStringLiteral("<img/src=x>"),
                                        QStringLiteral("a\x01\x02"
                                                       "b"),
                                        QStringLiteral("\u202Eevil\u202C"), QString(10000, QChar(u'长'))};
            int n = 0;
            for (const QString& title : titles) {
                ++n;
                text += songLine(n, Song{QStringLiteral("<u%1").arg(n), title, QStringLiteral("S"), true}, siteHost);
            }
        }
        text += pageTail(page);
        writeResponse(socket, 200, "text/html; charset=utf-8", text.toUtf8());
    } else if (keyword == u"_upper") {
        QByteArray body = resultPage(QStringLiteral("月光"), 1, siteHost);
        body.replace("charset=gb2312", "charset=GB2312");
        writeResponse(socket, 200, "text/html; charset=GB2312", body);
    } else if (keyword == u"_evil") {
        QString text = pageHead(QStringLiteral("gb2312"), keyword);
        text += songLine(1, catalogue()[0], siteHost);
        text += pathologicalLine();
        text += songLine(2, catalogue()[1], siteHost);
        text += pageTail(page);
        writeResponse(socket, 200, html, gbk(text));
    } else if (keyword == u"_special") {
        // Rows whose song pages are the download fault modes.
        QString text = pageHead(QStringLiteral("gb2312"), keyword);
        const QList<Song> special = {{QStringLiteral("slow"), QStringLiteral("慢速下载"), QStringLiteral("S"), true},
                                     {QStringLiteral("cut"), QStringLiteral("中断下载"), QStringLiteral("S"), true},
                                     {QStringLiteral("page"), QStringLiteral("网页"), QStringLiteral("S"), true}};
        for (qsizetype i = 0; i < special.size(); ++i)
            text += songLine(int(i) + 1, special[i], siteHost);
        text += pageTail(page);
        writeResponse(socket, 200, html, gbk(text));
    } else if (keyword == u"_loop") {
        writeResponse(socket, 302, html, QByteArray(),
                      {"Location: http://" + request.host + request.path + '?' + request.query});
    } else {
        writeResponse(socket, 200, html, resultPage(keyword, page, siteHost));
    }
}

void DemoSite::serveSongPage(QTcpSocket* socket, const Request& request)
{
    const QByteArray id = queryValue(request.query, "id");
    if (id == "stall")
        return; // the connection stays open and nothing comes
    if (id == "page") {
        writeResponse(socket, 200, "text/html; charset=utf-8", "<html><body>song page</body></html>");
        return;
    }
    if (id == "slow") {
        // 400 KB at 40 KB a tenth of a second.
        const QByteArray body = synthesiseWav(25000, 440);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: audio/wav\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n");
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
            socket->write(body.mid(*sent, 40 * 1024));
            *sent += 40 * 1024;
            if (*sent >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(100);
        return;
    }
    const QByteArray disposition = queryValue(request.query, "cd");
    if (!disposition.isEmpty() || id == "cut") {
        const QByteArray body = synthesiseWav(500, 440);
        QByteArray head =
            "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\n";
        if (!disposition.isEmpty())
            head += "Content-Disposition: " + disposition + "\r\n";
        socket->write(head + "Connection: close\r\n\r\n");
        if (id == "cut") {
            socket->write(body.left(body.size() / 2));
            socket->flush();
            QTimer::singleShot(50, socket, [socket] { socket->abort(); });
            return;
        }
        socket->write(body);
        socket->disconnectFromHost();
        return;
    }
    const QByteArray extension = m_format == Format::Mp3 ? ".mp3" : ".wav";
    writeResponse(socket, 302, "text/html", QByteArray(),
                  {"Location: http://" + request.host + "/audio/" + QUrl::toPercentEncoding(QString::fromLatin1(id)) +
                   extension});
}

void DemoSite::serveAudio(QTcpSocket* socket, const Request& request)
{
    const QByteArray name = request.path.mid(7);
    const QByteArray type = name.endsWith(".mp3") ? "audio/mpeg" : "audio/wav";
    const QString id = QString::fromUtf8(QByteArray::fromPercentEncoding(name.chopped(4)));
    const SongFile file = song(id);
    if (file.isEmpty()) {
        writeResponse(socket, 404, "text/html; charset=utf-8", "<html><body>no such song</body></html>");
        return;
    }
    const QByteArray disposition = "Content-Disposition: inline; filename*=UTF-8''" +
                                   QUrl::toPercentEncoding(findSong(id)->title + QString::fromLatin1(name.right(4)));
    const qint64 size = file.size();
    qint64 from = 0;
    qint64 to = size - 1;
    int code = 200;
    if (request.range.startsWith("bytes=")) {
        // "bytes=FROM-", "bytes=FROM-TO" or "bytes=-SUFFIX"; one range only.
        const QList<QByteArray> bounds = request.range.mid(6).split(',').first().split('-');
        from = bounds.value(0).toLongLong();
        to = bounds.value(1).isEmpty() ? size - 1 : qMin(size - 1, bounds.value(1).toLongLong());
        if (bounds.value(0).isEmpty()) {
            from = qMax<qint64>(0, size - bounds.value(1).toLongLong());
            to = size - 1;
        }
        if (from >= size || from > to) {
            writeResponse(socket, 416, {}, {}, {"Content-Range: bytes */" + QByteArray::number(size)});
            return;
        }
        code = 206;
    }
    QList<QByteArray> headers = {"Accept-Ranges: bytes", disposition};
    if (code == 206)
        headers.append("Content-Range: bytes " + QByteArray::number(from) + '-' + QByteArray::number(to) + '/' +
                       QByteArray::number(size));
    socket->write(responseHead(code, type, to - from + 1, headers));
    send(socket, file, from, to - from + 1);
}

} // namespace melodrift::site
