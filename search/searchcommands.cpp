#include "search/searchcommands.h"

#include "app/songlistbox.h"
#include "app/statusbar.h"
#include "melodrift/hosts.h"
#include "net/pagefetch.h"
#include "net/urlencode.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QNetworkReply>
#include <QTimer>

namespace melodrift {

QString NextPageNo(const QString& pageNo)
{
    bool ok = false;
    const double current = pageNo.trimmed().toDouble(&ok);
    return QString::number((ok ? current : 0.0) + 1.0, 'g', 15);
}

SearchCommands::SearchCommands(QLineEdit* text1, SongListBox* list, StatusBar* status, PageFetcher* fetcher,
                               QObject* parent)
    : QObject(parent), m_text1(text1), m_list(list), m_status(status), m_fetcher(fetcher)
{
}

void SearchCommands::Command1_Click()
{
    supersedeLoads();
    m_list->Clear();
    m_pageNo = QStringLiteral("1");
    m_status->setPanelText(2, QStringLiteral("骚年,正在玩命的搜索，请耐心一下。。。"));
    const QString key = UrlEncodeGb(m_text1->text());
    LoadResultPage(u"http://" + hosts::searchHost() + u"/so.asp?key=" + key);
}

void SearchCommands::Command2_Click()
{
    m_status->setPanelText(2, QStringLiteral("骚年,正在玩命的翻页。。。。"));
    m_pageNo = NextPageNo(m_pageNo);
    const QString key = UrlEncodeGb(m_text1->text());
    LoadResultPage(u"http://" + hosts::searchHost() + u"/so.asp?page=" + m_pageNo + u"&key=" + key);
}

void SearchCommands::LoadResultPage(const QString& address)
{
    m_queue.push_back(NormalizeResultAddress(address));
    if (!m_running)
        startNextLoad();
}

void SearchCommands::supersedeLoads()
{
    ++m_generation;
    m_queue.clear();
    m_rows.clear();
    m_running = false;
    if (m_reply)
        m_reply->abort();
}

void SearchCommands::startNextLoad()
{
    if (m_queue.empty()) {
        Q_EMIT idle();
        return;
    }
    m_running = true;
    const QString address = m_queue.front();
    m_queue.pop_front();
    const quint64 generation = m_generation;
    m_reply = m_fetcher->GetHtml(address, QStringLiteral("auto"), this,
                                 [this, generation](const std::optional<QString>& page) {
                                     if (generation == m_generation)
                                         pageArrived(page.value_or(QString()));
                                 });
}

void SearchCommands::pageArrived(const QString& page)
{
    m_reply = nullptr;
    m_rows = ScrapeResultPage(page, hosts::siteHost());
    m_nextRow = 0;
    appendRows();
}

void SearchCommands::appendRows()
{
    QElapsedTimer slice;
    slice.start();
    while (m_nextRow < m_rows.size()) {
        const SongLink& link = m_rows[m_nextRow++];
        m_status->setPanelText(2, u"找到：" + link.found);
        m_list->AddItem(link.title, link.id, link.id, 0);
        if (m_nextRow < m_rows.size() && slice.elapsed() >= kSliceMs) {
            // Let the window repaint and take input before the next rows.
            const quint64 generation = m_generation;
            QTimer::singleShot(0, this, [this, generation] {
                if (generation == m_generation)
                    appendRows();
            });
            return;
        }
    }
    m_rows.clear();
    m_status->setPanelText(2, QStringLiteral("搜索结束！"));
    m_running = false;
    startNextLoad();
}

} // namespace melodrift
