#include "browser/defaultbrowser.h"

#include <QRegularExpression>

namespace melodrift {

QString FileBaseName(const QString& path)
{
    if (path.endsWith(u'/') || path.endsWith(u'\\'))
        return {};
    const qsizetype lastSeparator = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const qsizetype lastDot = path.lastIndexOf(u'.');
    if (lastDot > lastSeparator)
        return path.mid(lastSeparator + 1, lastDot - lastSeparator - 1);
    // No extension, as on Linux: the program's name ends at the first blank (before its arguments).
    const QString name = path.mid(lastSeparator + 1).trimmed();
    const qsizetype blank = name.indexOf(QRegularExpression(QStringLiteral("\\s")));
    return blank < 0 ? name : name.left(blank);
}

QString BrowserNameFromCommand(const QString& command)
{
    QString cut = command;
    const qsizetype dash = cut.indexOf(u'-');
    if (dash >= 0)
        cut.truncate(dash);
    cut.remove(u'"');
    return FileBaseName(cut);
}

QString GetDefaultBrowser(const DesktopLauncher& launcher)
{
    return BrowserNameFromCommand(launcher.httpOpenCommand());
}

bool Is360Browser(const QString& name, Qt::CaseSensitivity cs)
{
    return name.contains(u"360se", cs);
}

} // namespace melodrift
