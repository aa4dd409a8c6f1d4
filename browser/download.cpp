#include "browser/download.h"

#include "net/pagefetch.h"

#include <QNetworkReply>
#include <QSaveFile>

namespace melodrift {

Download::Download(QNetworkReply* reply, QString name, QString path, QObject* parent)
    : QObject(parent), m_reply(reply), m_name(std::move(name)), m_path(std::move(path)),
      m_file(std::make_unique<QSaveFile>(m_path))
{
}

Download::~Download() = default;

void Download::start()
{
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_reply->abort();
        end(m_file->errorString());
        return;
    }
    if (m_reply->isFinished()) {
        finish();
        return;
    }
    writeAvailable();
    connect(m_reply, &QNetworkReply::readyRead, this, &Download::writeAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &Download::finish);
}

void Download::writeAvailable()
{
    const QByteArray chunk = m_reply->readAll();
    if (!chunk.isEmpty() && m_file->write(chunk) != chunk.size())
        m_reply->abort();
    Q_EMIT progress(m_name, m_file->pos(), m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
}

void Download::finish()
{
    writeAvailable();
    if (!hasCompleteResponse(*m_reply) || m_reply->error() != QNetworkReply::NoError) {
        m_file->cancelWriting();
        m_file->commit();
        end(m_reply->errorString());
        return;
    }
    end(m_file->commit() ? QString() : m_file->errorString());
}

void Download::end(const QString& error)
{
    m_reply->disconnect(this);
    m_reply->deleteLater();
    deleteLater();
    Q_EMIT finished(m_name, m_path, error);
}

} // namespace melodrift
