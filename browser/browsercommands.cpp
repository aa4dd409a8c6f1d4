#include "browser/browsercommands.h"

#include "browser/defaultbrowser.h"
#include "browser/navigator.h"
#include "controls/dialogs.h"
#include "controls/failuretext.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "net/musicsite.h"

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

BrowserCommands::BrowserCommands(SongListBox* list, StatusBar* status, std::function<int()> menuRow,
                                 DesktopLauncher* launcher, Dialogs* dialogs, QNetworkAccessManager* manager,
                                 QWidget* window, QObject* parent)
    : QObject(parent), m_list(list), m_status(status), m_menuRow(std::move(menuRow)), m_launcher(launcher),
      m_dialogs(dialogs), m_window(window), m_saveLocation(std::make_unique<DialogSaveLocation>(dialogs, window)),
      m_navigator(new Navigator(manager, m_saveLocation.get(), this))
{
    connect(m_navigator, &Navigator::downloadProgress, this,
            [this](const QString& name, qint64 received, qint64 total) {
                const QString amount = total > 0 ? QStringLiteral("%1%").arg(received * 100 / total)
                                                 : QStringLiteral("%1 KB").arg(received / 1024);
                m_status->setPanelText(2, u"正在下载 " + amount + u"：" + name);
            });
    connect(m_navigator, &Navigator::downloadFinished, this,
            [this](const QString& name, const QString& path, const Failure& failure) {
                if (failure.failed()) {
                    downloadFailed(name, failure);
                    return;
                }
                m_status->setPanelText(2, u"已保存：" + path);
                m_dialogs->inform(m_window, QStringLiteral("下载"), u"已保存：" + path, Dialogs::Tone::Information);
            });
    // The person's own choice: said, not reported as a failure.
    connect(m_navigator, &Navigator::downloadCancelled, this,
            [this](const QString& name) { m_status->setPanelText(2, u"已取消下载：" + name); });
    connect(m_navigator, &Navigator::navigationFailed, this,
            [this](const QString& url, const Failure& failure) { downloadFailed(m_songOfPage.take(url), failure); });
    connect(m_navigator, &Navigator::navigationEnded, this, [this](const QString& url) { m_songOfPage.remove(url); });
}

BrowserCommands::~BrowserCommands() = default;

void BrowserCommands::Dolown_Click()
{
    const int row = m_menuRow();
    if (!m_list->songs()->isRow(row))
        return;
    const SongRow& song = m_list->songs()->at(row);
    const QString url = SongPageUrl(song.id);
    m_songOfPage.insert(url, song.title);
    m_navigator->Navigate2(url);
}

void BrowserCommands::downloadFailed(const QString& name, const Failure& failure)
{
    const QString message = u"下载失败：" + name + u"（" + failureText(failure) + u"）";
    m_status->setPanelText(2, message);
    m_dialogs->inform(m_window, QStringLiteral("下载"), message, Dialogs::Tone::Warning);
}

void BrowserCommands::open(const QString& url)
{
    if (const Failure failure = m_launcher->openUrl(url); failure.failed())
        m_status->setPanelText(2, u"无法打开浏览器：" + failureText(failure));
}

void BrowserCommands::se360_Click()
{
    // Case matters here, unlike the start-up check: the design has the two tests differ.
    if (Is360Browser(GetDefaultBrowser(*m_launcher), Qt::CaseSensitive)) {
        const int row = m_menuRow();
        if (m_list->songs()->isRow(row))
            open(SongPageUrl(m_list->songs()->at(row).id));
        return;
    }
    m_dialogs->warn(m_window, QStringLiteral("默认不是360安全浏览器"),
                    QStringLiteral("检测到当前不是360安全浏览器无法获取到真实的Mp3地址，请下载安装吧！"));
    open(musicsite::installerUrl360());
}

} // namespace melodrift
