#include "controls/plaintext.h"

#include <QTextDocument>

namespace melodrift {

QString plainTextToolTip(const QString& text)
{
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

} // namespace melodrift
