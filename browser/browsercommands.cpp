#include "browser/browsercommands.h"

#include "app/dialogs.h"
#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "browser/defaultbrowser.h"
#include "browser/navigator.h"
#include "melodrift/hosts.h"
#include "playback/playbackstate.h"
#include "playback/songpage.h"

namespace melodrift {

namespace {

//! The save dialog, asked on behalf of the navigator.
class DialogSaveLocation final : public SaveLocation {
public:
    DialogSaveLocation(Dialogs* dialogs, QWidget* parent) : m_dialogs(dialogs), m_parent(parent) {}
    QString chooseSavePath(const QString& suggestedName) override
    {
        return m_dialogs->saveFileName(m_parent, suggestedName);
    }

private:
    Dialogs* m_dialogs;
    QWidget* m_parent;
};

} // namespace

BrowserCommands::BrowserCommands(SongListBox* list, StatusBar* status, const PlaybackState* state,
                                 DesktopLauncher* launcher, Dialogs* dialogs, QNetworkAccessManager* manager,
                                 QWidget* window, QObject* parent)
    : QObject(parent), m_list(list), m_status(status), m_state(state), m_launcher(launcher), m_dialogs(dialogs),
      m_window(window), m_saveLocation(std::make_unique<DialogSaveLocation>(dialogs, window)),
      m_navigator(new Navigator(manager, m_saveLocation.get(), this))
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
    // The person's own choice: said, not reported as a failure.
    connect(m_navigator, &Navigator::downloadCancelled, this,
            [this](const QString& name) { m_status->setPanelText(2, u"已取消下载：" + name); });
    connect(m_navigator, &Navigator::navigationFailed, this, [this](const QString& url, const QString& reason) {
        const QString message = u"下载失败：" + m_songOfPage.take(url) + u"（" + reason + u"）";
        m_status->setPanelText(2, message);
        m_dialogs->inform(m_window, QStringLiteral("下载"), message);
    });
}

BrowserCommands::~BrowserCommands() = default;

bool BrowserCommands::menuRowExists() const
{
    return m_state->MenuRow >= 1 && m_state->MenuRow <= m_list->ListCount();
}

void BrowserCommands::Dolown_Click()
{
    if (!menuRowExists())
        return;
    const QString url = SongPageUrl(m_list->ItemId(m_state->MenuRow));
    m_songOfPage.insert(url, m_list->ItemTitle(m_state->MenuRow));
    m_navigator->Navigate2(url);
}

void BrowserCommands::se360_Click()
{
    // Case matters here, unlike the start-up check: the design has the two tests differ.
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
