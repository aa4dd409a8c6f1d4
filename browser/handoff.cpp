#include "browser/handoff.h"

#include "app/dialogs.h"
#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "browser/defaultbrowser.h"
#include "browser/filename.h"
#include "melodrift/hosts.h"
#include "net/pagefetch.h"
#include "playback/playbackcommands.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSaveFile>

#include <memory>

namespace melodrift {

bool isFileResponse(const QByteArray& contentType, const QByteArray& contentDisposition)
{
    const QByteArray type = contentType.split(';').first().trimmed().toLower();
    if (type.startsWith("audio/") || type == "application/octet-stream")
        return true;
    return contentDisposition.trimmed().toLower().startsWith("attachment");
}

Navigator::Navigator(QNetworkAccessManager* manager, Dialogs* dialogs, QWidget* dialogParent, QObject* parent)
    : QObject(parent), m_manager(manager), m_dialogs(dialogs), m_dialogParent(dialogParent)
{
}

void Navigator::Navigate2(const QString& url)
{
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    request.setTransferTimeout(PageFetcher::kDefaultStallTimeoutMs);
    QNetworkReply* reply = m_manager->get(request);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        // Redirects report their own headers first; decide on the final answer only.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400 && reply->hasRawHeader("Location"))
            return;
        if (reply->property("melodrift.decided").toBool())
            return;
        reply->setProperty("melodrift.decided", true);
        onResponse(reply);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (!reply->property("melodrift.decided").toBool()) {
            reply->setProperty("melodrift.decided", true);
            onResponse(reply);
        }
    });
}

void Navigator::onResponse(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray disposition = reply->rawHeader("Content-Disposition");
    const bool file = status >= 200 && status < 300 &&
                      isFileResponse(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), disposition);
    if (!file) {
        // A web page: loaded and not shown.
        connect(reply, &QNetworkReply::readyRead, reply, [reply] { reply->skip(reply->bytesAvailable()); });
        auto finish = [this, reply] {
            reply->deleteLater();
            Q_EMIT pageLoaded(reply->url());
        };
        if (reply->isFinished())
            finish();
        else
            connect(reply, &QNetworkReply::finished, this, finish);
        return;
    }

    const QString name = SuggestedFileName(disposition, reply->url());
    // The reply keeps buffering while the person chooses where to save.
    QPointer<QNetworkReply> guard(reply);
    const QString path = m_dialogs->saveFileName(m_dialogParent, name);
    if (!guard)
        return;
    if (path.isEmpty()) {
        reply->abort();
        reply->deleteLater();
        Q_EMIT downloadFinished(name, QString(), QStringLiteral("已取消"));
        return;
    }
    auto saveFile = std::make_shared<QSaveFile>(path);
    if (!saveFile->open(QIODevice::WriteOnly)) {
        const QString error = saveFile->errorString();
        reply->abort();
        reply->deleteLater();
        Q_EMIT downloadFinished(name, path, error);
        return;
    }
    auto writeAvailable = [this, reply, saveFile, name] {
        const QByteArray chunk = reply->readAll();
        if (!chunk.isEmpty() && saveFile->write(chunk) != chunk.size())
            reply->abort();
        Q_EMIT downloadProgress(name, saveFile->pos(), reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    };
    auto finish = [this, reply, saveFile, name, path, writeAvailable] {
        writeAvailable();
        reply->deleteLater();
        if (!hasCompleteResponse(*reply) || reply->error() != QNetworkReply::NoError) {
            saveFile->cancelWriting();
            saveFile->commit();
            Q_EMIT downloadFinished(name, path, reply->errorString());
            return;
        }
        if (!saveFile->commit()) {
            Q_EMIT downloadFinished(name, path, saveFile->errorString());
            return;
        }
        Q_EMIT downloadFinished(name, path, QString());
    };
    if (reply->isFinished()) {
        finish();
        return;
    }
    writeAvailable();
    connect(reply, &QNetworkReply::readyRead, this, writeAvailable);
    connect(reply, &QNetworkReply::finished, this, finish);
}

BrowserCommands::BrowserCommands(SongListBox* list, StatusBar* status, const PlaybackState* state,
                                 DesktopLauncher* launcher, Dialogs* dialogs, Navigator* webBrowser1, QWidget* window,
                                 QObject* parent)
    : QObject(parent), m_list(list), m_status(status), m_state(state), m_launcher(launcher), m_dialogs(dialogs),
      m_navigator(webBrowser1), m_window(window)
{
    connect(m_navigator, &Navigator::downloadProgress, this,
            [this](const QString& name, qint64 received, qint64 total) {
                const QString amount = total > 0 ? QStringLiteral("%1%").arg(received * 100 / total)
                                                 : QStringLiteral("%1 KB").arg(received / 1024);
                m_status->setPanelText(2, u"正在下载 " + amount + u"：" + name);
            });
    connect(m_navigator, &Navigator::downloadFinished, this,
            [this](const QString& name, const QString& path, const QString& error) {
                const QString message = error.isEmpty() ? QString(u"已保存：" + path)
                                                        : QString(u"下载失败：" + name + u"（" + error + u"）");
                m_status->setPanelText(2, message);
                m_dialogs->inform(m_window, QStringLiteral("下载"), message);
            });
}

bool BrowserCommands::menuRowExists() const
{
    return m_state->MenuRow >= 1 && m_state->MenuRow <= m_list->ListCount();
}

void BrowserCommands::Dolown_Click()
{
    if (!menuRowExists())
        return;
    m_navigator->Navigate2(SongPageUrl(m_list->ItemId(m_state->MenuRow)));
}

void BrowserCommands::se360_Click()
{
    const QString browser = GetDefaultBrowser(*m_launcher);
    if (browser.contains(u"360se")) {
        if (!menuRowExists())
            return;
        m_launcher->openUrl(SongPageUrl(m_list->ItemId(m_state->MenuRow)));
        return;
    }
    m_dialogs->warn(m_window, QStringLiteral("默认不是360安全浏览器"),
                    QStringLiteral("检测到当前不是360安全浏览器无法获取到真实的Mp3地址，请下载安装吧！"));
    m_launcher->openUrl(u"http://" + hosts::downloadHost360() + u"/inst.exe");
}

} // namespace melodrift
