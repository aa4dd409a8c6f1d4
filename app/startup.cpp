#include "app/startup.h"

#include <QGuiApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

namespace melodrift {

namespace {

const char* const kDesktopEntry = "org.melodrift.Melodrift";

//! The platform the person chose (QT_QPA_PLATFORM or -platform), "" when none.
QString chosenPlatform(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(u"-platform"_qs);
    if (at >= 0 && at + 1 < arguments.size())
        return arguments[at + 1];
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

QString windowStartFailure(const QString& platforms, const QString& qtSaid);

QtMessageHandler previousHandler = nullptr;
QString platformTried;
QString qtPlatformSaid;

void guardHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        const QString line = windowStartFailure(platformTried, qtPlatformSaid + message) + u'\n';
        std::fputs(line.toLocal8Bit().constData(), stderr);
        std::_Exit(1);
    }
    const QByteArrayView category(context.category ? context.category : "");
    if (category.startsWith("qt.qpa") || message.contains(u"platform plugin"_qs) ||
        message.contains(u"wl_display"_qs)) {
        qtPlatformSaid += message + u'\n';
        return;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

QString windowStartFailure(const QString& platforms, const QString& qtSaid)
{
    QStringList causes;
    for (const QString& platform : platforms.split(u';', Qt::SkipEmptyParts)) {
        const char* display = platform.startsWith(u"wayland"_qs) ? "WAYLAND_DISPLAY"
                              : platform == u"xcb"_qs            ? "DISPLAY"
                                                                 : nullptr;
        if (qtSaid.contains(u"Could not find the Qt platform plugin \""_qs + platform + u'"'))
            causes.append(u"Qt's platform \""_qs + platform + u"\" is not installed"_qs);
        else if (!display)
            causes.append(u"Qt's platform \""_qs + platform + u"\" cannot start"_qs);
        else if (qEnvironmentVariableIsEmpty(display))
            causes.append(QString::fromLatin1(display) + u" is not set"_qs);
        else
            causes.append(u"the display \""_qs + qEnvironmentVariable(display) + u"\" ("_qs + platform +
                          u") does not answer"_qs);
    }
    return u"melodrift: cannot open its window: "_qs + causes.join(u"; "_qs);
}

} // namespace

void prepareDesktop(const QStringList& arguments)
{
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
    // PulseAudio (and PipeWire's PulseAudio layer) add these to the stream's properties.
    QByteArray properties = qgetenv("PULSE_PROP");
    if (!properties.contains("media.role"))
        properties += " media.role=music";
    if (!properties.contains("application.icon_name"))
        properties += QByteArray(" application.icon_name=") + kDesktopEntry;
    qputenv("PULSE_PROP", properties.trimmed());
    // Qt Multimedia warns of every song played without a sound server; QT_LOGGING_RULES still
    // turns its messages on.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia*.warning=false"));
    if (chosenPlatform(arguments).isEmpty() && qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland");
}

WindowStartGuard::WindowStartGuard(const QStringList& arguments)
{
    platformTried = chosenPlatform(arguments);
    if (platformTried.isEmpty()) // Qt's own order
        platformTried = u"wayland;xcb"_qs;
    qtPlatformSaid.clear();
    previousHandler = qInstallMessageHandler(guardHandler);
}

WindowStartGuard::~WindowStartGuard()
{
    qInstallMessageHandler(previousHandler);
}

} // namespace melodrift
