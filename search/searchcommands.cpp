#include "search/searchcommands.h"

#include "controls/failuretext.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "net/musicsite.h"
#include "search/resultloader.h"

#include <QLineEdit>

namespace melodrift {

SearchCommands::SearchCommands(QLineEdit* text1, SongListBox* list, StatusBar* status, PageFetcher* fetcher,
                               QObject* parent)
    : QObject(parent), m_text1(text1), m_list(list), m_status(status), m_loader(new ResultLoader(fetcher, this))
{
    connect(m_loader, &ResultLoader::rowFound, this, [this](const SongRow& song, const QString& found) {
        m_status->setPanelText(2, u"找到：" + found);
        m_list->songs()->append(song);
    });
    connect(m_loader, &ResultLoader::pageDone, this,
            [this] { m_status->setPanelText(2, QStringLiteral("搜索结束！")); });
    connect(m_loader, &ResultLoader::failed, this, [this](const QString& address, const Failure& failure) {
        m_status->setPanelText(2, u"搜索失败：" + failureText(failure));
        // A page that did not come was not turned: the next "翻页" asks for it again.
        if (address == m_nextPageAddress) {
            m_pageNo = m_pageBefore;
            m_nextPageAddress.clear();
        }
    });
}

bool SearchCommands::isLoading() const
{
    return m_loader->isLoading();
}

void SearchCommands::Command1_Click()
{
    m_loader->supersede();
    m_list->Clear();
    m_pageNo = QStringLiteral("1");
    m_status->setPanelText(2, QStringLiteral("骚年,正在玩命的搜索，请耐心一下。。。"));
    m_loader->LoadResultPage(SearchAddress(m_text1->text()));
}

void SearchCommands::Command2_Click()
{
    m_status->setPanelText(2, QStringLiteral("骚年,正在玩命的翻页。。。。"));
    m_pageBefore = m_pageNo;
    m_pageNo = NextPageNo(m_pageNo);
    m_nextPageAddress = NextPageAddress(m_pageNo, m_text1->text());
    m_loader->LoadResultPage(m_nextPageAddress);
}

} // namespace melodrift
