#include "search/resultpage.h"

#include <QRegularExpression>

namespace melodrift {

namespace {
const QString kHttp = QStringLiteral("http://");
} // namespace

QString songLinkPattern()
{
    return QStringLiteral(R"(href=[\"\'\s]?http://([^\s]+)(.*?)\b[\"\'\s]?(.*?)>(.*?)</a>)");
}

QString NormalizeResultAddress(const QString& address)
{
    QString rest = address;
    rest.remove(kHttp);
    return kHttp + rest;
}

QString CutResultStretch(const QString& page)
{
    QString stretch = page;
    const qsizetype start = stretch.indexOf(u"class=\"songNum\"");
    if (start >= 0)
        stretch.remove(0, start + 1);
    const qsizetype end = stretch.indexOf(u"soBottom");
    if (end >= 0)
        stretch.truncate(end);
    return stretch;
}

QList<SongLink> ScrapeResultPage(const QString& page, const QString& siteHost)
{
    static const QRegularExpression pattern = [] {
        QRegularExpression re(songLinkPattern(), QRegularExpression::CaseInsensitiveOption);
        re.optimize();
        return re;
    }();
    const QString playPath = siteHost + u"/play/";
    const QString songPage = kHttp + siteHost + u"/mp3.asp?id=";
    static const QString fiveE814(5, QChar(0xE814));

    QList<SongLink> links;
    const QString stretch = CutResultStretch(page);
    QRegularExpressionMatchIterator it = pattern.globalMatch(stretch);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        QString capture = match.captured(1);
        // A capture that stops at or before the closing quote of its address is no song row.
        if (!capture.contains(u"\">"))
            continue;
        capture.remove(QStringLiteral("</a><a"));
        capture.remove(u'"');
        capture.remove(QStringLiteral(".htm"));
        SongLink link;
        link.found = capture;
        capture.replace(playPath, songPage);
        const qsizetype gt = capture.indexOf(u'>');
        link.title = capture.mid(gt + 1);
        QString id = capture.left(gt);
        const qsizetype eq = id.indexOf(u'=');
        if (eq >= 0)
            id.remove(0, eq + 1);
        link.id = id;
        link.title.remove(QChar(0xE7FF));
        link.title.remove(fiveE814);
        links.append(link);
    }
    return links;
}

} // namespace melodrift
