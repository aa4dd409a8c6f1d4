#include "controls/formfont.h"

#include <QStringList>

namespace melodrift {

QFont formFont()
{
    QFont font(QStringList{QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                           QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    return font;
}

} // namespace melodrift
