#include "playback/songpage.h"

#include "melodrift/hosts.h"

namespace melodrift {

QString SongPageUrl(const QString& id)
{
    return u"http://" + hosts::siteHost() + u"/mp3.asp?id=" + id;
}

QString DisplayTitle(const QString& title)
{
    QString display = title;
    display.remove(u' ');
    return display;
}

} // namespace melodrift
