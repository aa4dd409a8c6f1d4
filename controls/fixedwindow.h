#pragma once

class QWidget;

namespace melodrift {

//! A window of fixed size offers no maximize button where the window manager honours the hint.
void makeFixedWindow(QWidget* window);

//! On Wayland, every window of fixed size (message boxes too) keeps its size as a minimum and
//! takes whatever larger size the compositor configures. Qt 6.4's own title bar there offers
//! maximize whatever the window's flags, compositors maximize by their own keys, and Qt clamps
//! the configured size to a fixed one before the program learns of the new state: the
//! compositor then ends the program for a window that does not fill its maximized size.
void letFixedWindowsMaximize();

} // namespace melodrift
