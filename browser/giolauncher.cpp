// GIO stands alone in this file: glib.h defines names that clash with Qt's keywords.
#include "browser/browserlog.h"
#include "browser/defaultbrowser.h"

#include <QLoggingCategory>

#include <gio/gio.h>

namespace melodrift {

QString GioDesktopLauncher::httpOpenCommand() const
{
    GAppInfo* info = g_app_info_get_default_for_uri_scheme("http");
    if (info == nullptr)
        return {};
    const char* commandLine = g_app_info_get_commandline(info);
    QString result = commandLine != nullptr ? QString::fromUtf8(commandLine) : QString();
    g_object_unref(info);
    return result;
}

Failure GioDesktopLauncher::openUrl(const QString& url)
{
    GError* error = nullptr;
    g_app_info_launch_default_for_uri(url.toUtf8().constData(), nullptr, &error);
    if (error == nullptr) {
        qCInfo(lcBrowser) << "opened" << url;
        return {};
    }
    Failure failure{Failure::LaunchError, 0, QString::fromUtf8(error->message)};
    g_error_free(error);
    qCInfo(lcBrowser) << "could not open" << url << failure.detail;
    return failure;
}

} // namespace melodrift
