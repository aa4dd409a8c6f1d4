#pragma once

#include <QStringList>

namespace melodrift {

//! What the desktop needs to know of the program before Qt connects to it: the desktop entry
//! the window belongs to, and what the sound server shows of its stream (icon, music role).
//! On a Wayland-only desktop, Qt's Wayland platform is chosen. Qt Multimedia's warnings are off.
void prepareDesktop(const QStringList& arguments);

//! While Qt opens its platform: a platform that cannot start ends the program with one line on
//! stderr that names the cause and status 1, not Qt's lines and an abort. Qt's own platform
//! messages are held back meanwhile; every other message goes on as before.
class WindowStartGuard {
public:
    explicit WindowStartGuard(const QStringList& arguments);
    ~WindowStartGuard();
    WindowStartGuard(const WindowStartGuard&) = delete;
    WindowStartGuard& operator=(const WindowStartGuard&) = delete;
};

} // namespace melodrift
