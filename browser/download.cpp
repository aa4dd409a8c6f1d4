#include "browser/download.h"

#include "net/pagefetch.h"

#include <QNetworkReply>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

namespace melodrift {

Download::Download(QNetworkReply* reply, QString name, QString path, QObject* parent)
    : QObject(parent), m_reply(reply), m_name(std::move(name)), m_path(std::move(path)),
      m_file(std::make_unique<QSaveFile>(m_path))
{
}

Download::~Download() = default;

void Download::start()
{
    // Unbuffered: a write the disk refuses is seen at that write, with the system's reason, and
    // not later in a flush that QSaveFile would let pass.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail({Failure::WriteError, 0, m_file->errorString()});
        return;
    }
    if (m_reply->isFinished()) {
        finish();
        return;
    }
    connect(m_reply, &QNetworkReply::readyRead, this, &Download::writeAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &Download::finish);
    writeAvailable();
}

bool Download::writeAll(const QByteArray& bytes)
{
    // A full disk takes part of a write without an error; the next write says why.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = m_file->write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            m_writeError = {Failure::WriteError, 0, m_file->errorString()};
            return false;
        }
        done += written;
    }
    return true;
}

void Download::writeAvailable()
{
    if (!writeAll(m_reply->readAll())) {
        fail(m_writeError);
        return;
    }
    Q_EMIT progress(m_name, m_file->pos(), m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
}

void Download::finish()
{
    if (!writeAll(m_reply->readAll())) {
        fail(m_writeError);
        return;
    }
    if (const Failure cut = connectionFailure(*m_reply); cut.failed()) {
        fail(cut);
        return;
    }
    if (const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); status >= 400) {
        fail({Failure::HttpStatus, status, m_reply->errorString()});
        return;
    }
    // QSaveFile ignores what fsync says; a disk that fails here has not kept the song.
    if (::fsync(m_file->handle()) != 0 && errno != EINVAL && errno != EROFS) {
        fail({Failure::WriteError, 0, qt_error_string(errno)});
        return;
    }
    if (!m_file->commit()) {
        end({Failure::WriteError, 0, m_file->errorString()});
        return;
    }
    end({});
}

void Download::fail(const Failure& failure)
{
    // Disconnected first: aborting reports the reply's end, which must not come back here.
    m_reply->disconnect(this);
    m_reply->abort();
    if (m_file->isOpen()) {
        m_file->cancelWriting();
        m_file->commit(); // with writing cancelled, this only removes the temporary file
    }
    end(failure);
}

void Download::end(const Failure& failure)
{
    m_reply->disconnect(this);
    m_reply->deleteLater();
    deleteLater();
    Q_EMIT finished(m_name, m_path, failure);
}

} // namespace melodrift
