#include "playback/songpage.h"

namespace melodrift {

QString DisplayTitle(const QString& title)
{
    QString display = title;
    display.remove(u' ');
    return display;
}

} // namespace melodrift
