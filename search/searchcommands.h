#pragma once

#include "search/resultpage.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>

class QLineEdit;
class QNetworkReply;

namespace melodrift {

class PageFetcher;
class SongListBox;
class StatusBar;

//! The search and next-page commands and the loader that turns result pages into list rows.
//! Loads run one at a time in the order asked for; a new search supersedes every load in
//! progress or waiting, which then adds no rows and writes no status text.
class SearchCommands : public QObject {
    Q_OBJECT
public:
    SearchCommands(QLineEdit* text1, SongListBox* list, StatusBar* status, PageFetcher* fetcher,
                   QObject* parent = nullptr);

    //! New search for the keyword box's text.
    void Command1_Click();
    //! Next result page for the keyword box's text, appended to the list.
    void Command2_Click();
    //! Fetches one result page and appends its songs; waits behind loads already running.
    void LoadResultPage(const QString& address);

    [[nodiscard]] QString PageNo() const { return m_pageNo; }
    void setPageNo(const QString& pageNo) { m_pageNo = pageNo; }
    [[nodiscard]] bool isLoading() const { return m_running; }

    //! Status texts between rows are shown after at most this many milliseconds of row work.
    static constexpr int kSliceMs = 8;

Q_SIGNALS:
    //! The last queued load has ended.
    void idle();

private:
    void startNextLoad();
    void pageArrived(const QString& page);
    void appendRows();
    void supersedeLoads();

    QLineEdit* m_text1;
    SongListBox* m_list;
    StatusBar* m_status;
    PageFetcher* m_fetcher;
    QString m_pageNo = QStringLiteral("1");

    std::deque<QString> m_queue;
    bool m_running = false;
    quint64 m_generation = 0;
    QPointer<QNetworkReply> m_reply;
    QList<SongLink> m_rows;
    qsizetype m_nextRow = 0;
};

//! "2" for "1", "10" for "9": the page number read as a number, plus one, in general form.
[[nodiscard]] QString NextPageNo(const QString& pageNo);

} // namespace melodrift
