#pragma once

#include <QList>
#include <QString>

namespace melodrift {

//! One accepted song link of a result page.
struct SongLink {
    QString found; //!< the cleaned capture shown after "找到："
    QString title;
    QString id;
};

//! The result page address as fetched: every "http://" removed, then one put in front.
[[nodiscard]] QString NormalizeResultAddress(const QString& address);

//! The stretch of a page that holds the results: from the second letter of the first
//! class="songNum" up to the first "soBottom" after it; each marker is optional.
[[nodiscard]] QStringView CutResultStretch(QStringView page);

//! The accepted song links of a result page, in page order. A pattern run that cannot finish
//! (a pathological page) ends the list where it stopped.
[[nodiscard]] QList<SongLink> ScrapeResultPage(const QString& page, const QString& siteHost);

//! The link pattern, run case-insensitively over the result stretch.
[[nodiscard]] QString songLinkPattern();

} // namespace melodrift
