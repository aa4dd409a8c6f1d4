#include "controls/fixedwindow.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace melodrift {

namespace {

//! Lets every window of fixed size shown from now on grow beyond it.
class Unfixer final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool sizing = event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest;
        if (sizing && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            // After the window's own handling, which may fix its size again (message boxes do).
            QTimer::singleShot(0, watched, [window = static_cast<QWidget*>(watched)] {
                if (window->minimumSize() == window->maximumSize())
                    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            });
        }
        return false;
    }
};

} // namespace

void makeFixedWindow(QWidget* window)
{
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void letFixedWindowsMaximize()
{
    if (!QGuiApplication::platformName().startsWith(u"wayland"_qs))
        return;
    static Unfixer* unfixer = nullptr;
    if (!unfixer) {
        unfixer = new Unfixer(qApp);
        qApp->installEventFilter(unfixer);
    }
}

} // namespace melodrift
