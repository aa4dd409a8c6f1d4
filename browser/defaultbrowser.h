#pragma once

#include "net/failure.h"

#include <QString>

namespace melodrift {

//! The desktop's handling of web links: which program opens them, and opening one.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    //! The command line that the desktop runs for http links; empty when none is set.
    [[nodiscard]] virtual QString httpOpenCommand() const = 0;
    //! Opens an address with the desktop's default handler; returns why it could not (LaunchError).
    [[nodiscard]] virtual Failure openUrl(const QString& url) = 0;
};

//! Reads the default http handler from GIO (mimeapps.list and .desktop files); needs no desktop session.
class GioDesktopLauncher final : public DesktopLauncher {
public:
    [[nodiscard]] QString httpOpenCommand() const override;
    [[nodiscard]] Failure openUrl(const QString& url) override;
};

//! The file name between the last folder separator ("\" or "/") and the last ".". Without an
//! extension: the name after the last separator, up to its first blank. "" for a trailing separator.
[[nodiscard]] QString FileBaseName(const QString& path);

//! The browser's program name from an open command: the command is cut before its first "-",
//! stripped of double quotes and reduced with FileBaseName.
[[nodiscard]] QString BrowserNameFromCommand(const QString& command);

//! The default browser's program name, such as "firefox" or "360se"; "" when none is set.
[[nodiscard]] QString GetDefaultBrowser(const DesktopLauncher& launcher);

//! Whether a browser's program name is the 360 browser's ("360se" in it, with the case given).
[[nodiscard]] bool Is360Browser(const QString& name, Qt::CaseSensitivity cs);

} // namespace melodrift
