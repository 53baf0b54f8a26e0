#include "app/EwmhAppWindowOps.h"

#include "app/AppLog.h"

#include <QGuiApplication>
#include <QWidget>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>

namespace zova {

namespace {

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// A client message to the root window, as the window manager expects requests
// about a client; source indication 2 (a pager) so no focus-stealing rule applies.
void sendRootMessage(Display* d, Window w, const char* type, long d0, long d1 = 0, long d2 = 0)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.serial = 0;
    e.xclient.send_event = True;
    e.xclient.display = d;
    e.xclient.window = w;
    e.xclient.message_type = x11::atom(d, type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = d0;
    e.xclient.data.l[1] = d1;
    e.xclient.data.l[2] = d2;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

} // namespace

void EwmhAppWindowOps::minimize(QWidget* window)
{
    if (!window)
        return;
    // Qt sends WM_CHANGE_STATE(IconicState) on X11.
    window->showMinimized();
}

void EwmhAppWindowOps::bringToFront(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized() || !window->isVisible())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    if (!onX11()) {
        window->activateWindow();
        return;
    }
    x11::DisplayPtr display = x11::openDisplay();
    if (!display) {
        qCWarning(lcApp) << "no X connection to bring the window back";
        window->activateWindow();
        return;
    }
    Display* d = display.get();
    const auto w = Window(window->winId());
    x11::ErrorTrap trap(d);
    if (const auto desktop = x11::cardinal(d, DefaultRootWindow(d), "_NET_CURRENT_DESKTOP", XA_CARDINAL)) {
        const auto own = x11::cardinal(d, w, "_NET_WM_DESKTOP", XA_CARDINAL);
        // 0xFFFFFFFF: on all desktops already.
        if (!own || (*own != *desktop && *own != 0xFFFFFFFFul))
            sendRootMessage(d, w, "_NET_WM_DESKTOP", long(*desktop), 2);
    }
    sendRootMessage(d, w, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
    if (trap.failed())
        qCInfo(lcApp) << "the window manager refused to bring the window back";
}

} // namespace zova
