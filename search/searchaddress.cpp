#include "search/searchaddress.h"

#include "melodrift/hosts.h"
#include "net/urlencode.h"

namespace melodrift {

QString SearchAddress(const QString& keyword)
{
    return u"http://" + hosts::searchHost() + u"/so.asp?key=" + UrlEncodeGb(keyword);
}

QString NextPageAddress(const QString& pageNo, const QString& keyword)
{
    return u"http://" + hosts::searchHost() + u"/so.asp?page=" + pageNo + u"&key=" + UrlEncodeGb(keyword);
}

QString NextPageNo(const QString& pageNo)
{
    bool ok = false;
    const double current = pageNo.trimmed().toDouble(&ok);
    return QString::number((ok ? current : 0.0) + 1.0, 'g', 15);
}

} // namespace melodrift
