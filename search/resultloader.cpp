#include "search/resultloader.h"

#include "net/musicsite.h"
#include "net/pagefetch.h"
#include "search/searchlog.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QTimer>

namespace melodrift {

ResultLoader::ResultLoader(PageFetcher* fetcher, QObject* parent) : QObject(parent), m_fetcher(fetcher) {}

void ResultLoader::LoadResultPage(const QString& address)
{
    m_queue.push_back(NormalizeResultAddress(address));
    if (!m_running)
        startNextLoad();
}

void ResultLoader::supersede()
{
    ++m_generation;
    m_queue.clear();
    m_rows.clear();
    m_running = false;
    if (m_reply)
        m_reply->abort();
}

void ResultLoader::startNextLoad()
{
    if (m_queue.empty()) {
        Q_EMIT idle();
        return;
    }
    m_running = true;
    const QString address = m_queue.front();
    m_queue.pop_front();
    const quint64 generation = m_generation;
    m_reply =
        m_fetcher->GetHtml(address, QStringLiteral("auto"), this, [this, generation, address](const FetchedPage& page) {
            if (generation == m_generation)
                pageArrived(page, address);
        });
}

void ResultLoader::pageArrived(const FetchedPage& page, const QString& address)
{
    m_reply = nullptr;
    if (!page.ok()) {
        // Not a search that found nothing: rows already listed stay.
        Q_EMIT failed(address, page.failure);
        m_running = false;
        startNextLoad();
        return;
    }
    m_rows = ScrapeResultPage(page.text, musicsite::siteHost());
    qCInfo(lcSearch) << "result page:" << m_rows.size() << "songs";
    m_nextRow = 0;
    reportRows();
}

void ResultLoader::reportRows()
{
    QElapsedTimer slice;
    slice.start();
    const quint64 generation = m_generation;
    while (m_nextRow < m_rows.size()) {
        const SongLink link = m_rows[m_nextRow++]; // a copy: a receiver may start a new search
        Q_EMIT rowFound(link.song, link.found);
        if (generation != m_generation)
            return;
        if (m_nextRow < m_rows.size() && slice.elapsed() >= kSliceMs) {
            // Let the window repaint and take input before the next rows.
            QTimer::singleShot(0, this, [this, generation] {
                if (generation == m_generation)
                    reportRows();
            });
            return;
        }
    }
    m_rows.clear();
    Q_EMIT pageDone();
    m_running = false;
    startNextLoad();
}

} // namespace melodrift
