#pragma once

#include "net/failure.h"

#include <QObject>
#include <QString>

#include <memory>

class QNetworkReply;
class QSaveFile;

namespace melodrift {

//! One file being saved from a reply as it arrives. The file appears at its path only when the
//! whole answer has come; a cut connection or a write error leaves nothing behind. Deletes itself
//! once it has reported its end.
class Download : public QObject {
    Q_OBJECT
public:
    //! Takes over `reply`; `name` is what the person is told, `path` where the file goes.
    Download(QNetworkReply* reply, QString name, QString path, QObject* parent = nullptr);
    ~Download() override;

    //! Starts writing; reports at once if the reply has already ended.
    void start();

Q_SIGNALS:
    void progress(const QString& name, qint64 received, qint64 total);
    //! `failure` is None when the file was saved at `path`.
    void finished(const QString& name, const QString& path, const melodrift::Failure& failure);

private:
    void writeAvailable();
    void finish();
    //! Writes all of `bytes`; false, with m_writeError set, when the file cannot take them.
    bool writeAll(const QByteArray& bytes);
    //! Gives up: the connection is dropped and nothing is left on disk.
    void fail(const Failure& failure);
    void end(const Failure& failure);

    QNetworkReply* m_reply;
    QString m_name;
    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    Failure m_writeError;
};

} // namespace melodrift
