#include "net/musicsite.h"

#include "net/urlencode.h"

namespace melodrift {

namespace musicsite {

// The hosts come from the build (MELODRIFT_*_HOST), so a packager can point the program elsewhere.
QString siteHost()
{
    return QStringLiteral(MELODRIFT_SITE_HOST);
}

QString searchHost()
{
    return QStringLiteral(MELODRIFT_SEARCH_HOST);
}

QString installerHost360()
{
    return QStringLiteral(MELODRIFT_360_DOWNLOAD_HOST);
}

QString origin(const QString& host)
{
    return kScheme + host;
}

QString songPagePrefix(const QString& host)
{
    return origin(host) + kSongPagePath + u"?id=";
}

QString playPathPrefix(const QString& host)
{
    return host + kPlayPath;
}

QString songLinkPattern()
{
    return QStringLiteral(R"(href=[\"\'\s]?http://([^\s]+)(.*?)\b[\"\'\s]?(.*?)>(.*?)</a>)");
}

QString installerUrl360()
{
    return origin(installerHost360()) + kInstallerPath;
}

} // namespace musicsite

QString SearchAddress(const QString& keyword)
{
    return musicsite::origin(musicsite::searchHost()) + musicsite::kSearchPath + u"?key=" + UrlEncodeGb(keyword);
}

QString NextPageAddress(const QString& pageNo, const QString& keyword)
{
    return musicsite::origin(musicsite::searchHost()) + musicsite::kSearchPath + u"?page=" + pageNo + u"&key=" +
           UrlEncodeGb(keyword);
}

QString SongPageUrl(const QString& id)
{
    return musicsite::songPagePrefix(musicsite::siteHost()) + id;
}

} // namespace melodrift
