#pragma once

#include "songlist/songlistmodel.h"

#include <QList>
#include <QString>

namespace melodrift {

//! One accepted song link of a result page.
struct SongLink {
    QString found; //!< the cleaned capture shown after "找到："
    SongRow song;  //!< the row it makes: its title and ID (twice), in the normal state
};

//! The result page address as fetched: every "http://" removed, then one put in front.
[[nodiscard]] QString NormalizeResultAddress(const QString& address);

//! The stretch of a page that holds the results: from the second letter of the site's first
//! results marker up to the first end marker after it; each marker is optional.
[[nodiscard]] QStringView CutResultStretch(QStringView page);

//! The accepted song links of a result page, in page order. A pattern run that cannot finish
//! (a pathological page) ends the list where it stopped.
[[nodiscard]] QList<SongLink> ScrapeResultPage(const QString& page, const QString& siteHost);

//! "2" for "1", "10" for "9": the page number read as a number, plus one, in general form.
[[nodiscard]] QString NextPageNo(const QString& pageNo);

} // namespace melodrift
