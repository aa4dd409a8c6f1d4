#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace melodrift {

class PageFetcher;
class ResultLoader;
class SongListBox;
class StatusBar;

//! The form's search code: the search and next-page buttons. The loader fetches and scrapes; this
//! puts its rows in the list and its messages in panel 2.
class SearchCommands : public QObject {
    Q_OBJECT
public:
    SearchCommands(QLineEdit* text1, SongListBox* list, StatusBar* status, PageFetcher* fetcher,
                   QObject* parent = nullptr);

    //! New search for the keyword box's text.
    void Command1_Click();
    //! Next result page for the keyword box's text, appended to the list.
    void Command2_Click();

    [[nodiscard]] QString PageNo() const { return m_pageNo; }
    void setPageNo(const QString& pageNo) { m_pageNo = pageNo; }
    [[nodiscard]] ResultLoader* loader() const { return m_loader; }
    [[nodiscard]] bool isLoading() const;

private:
    QLineEdit* m_text1;
    SongListBox* m_list;
    StatusBar* m_status;
    ResultLoader* m_loader;
    QString m_pageNo = QStringLiteral("1");
    QString m_pageBefore;      // the page number before the last "翻页"
    QString m_nextPageAddress; // what the last "翻页" asked for
};

} // namespace melodrift
