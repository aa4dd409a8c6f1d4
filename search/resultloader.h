#pragma once

#include "net/failure.h"
#include "search/resultpage.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>

class QNetworkReply;

namespace melodrift {

class PageFetcher;
struct FetchedPage;

//! LoadResultPage: fetches result pages and reports their songs row by row. Loads run one at a
//! time in the order asked for; supersede() drops every load in progress or waiting, which then
//! reports nothing more. Rows are reported in slices, with the event loop running between them.
class ResultLoader : public QObject {
    Q_OBJECT
public:
    explicit ResultLoader(PageFetcher* fetcher, QObject* parent = nullptr);

    //! Fetches one result page and reports its songs; waits behind loads already running.
    void LoadResultPage(const QString& address);
    //! Forgets every load: a new search begins.
    void supersede();
    [[nodiscard]] bool isLoading() const { return m_running; }

    //! Status texts between rows are shown after at most this many milliseconds of row work.
    static constexpr int kSliceMs = 8;

Q_SIGNALS:
    //! The page at `address` could not be had.
    void failed(const QString& address, const melodrift::Failure& failure);
    //! One accepted song link, in page order, with the text the link gave (`SongLink::found`).
    void rowFound(const melodrift::SongRow& song, const QString& found);
    //! Every row of a page has been reported.
    void pageDone();
    //! The last queued load has ended.
    void idle();

private:
    void startNextLoad();
    void pageArrived(const FetchedPage& page, const QString& address);
    void reportRows();

    PageFetcher* m_fetcher;
    std::deque<QString> m_queue;
    bool m_running = false;
    quint64 m_generation = 0;
    QPointer<QNetworkReply> m_reply;
    QList<SongLink> m_rows;
    qsizetype m_nextRow = 0;
};

} // namespace melodrift
