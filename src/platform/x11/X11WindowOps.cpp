#include "platform/x11/X11WindowOps.h"

#include "platform/Platform.h"
#include "platform/x11/X11ClientProcess.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace zova::x11 {

namespace {

constexpr long sourceIndicationPager = 2;
constexpr unsigned long allDesktops = 0xFFFFFFFFul;

void sendRootMessage(Display* d, Window w, const char* type, long a0, long a1 = 0, long a2 = 0, long a3 = 0)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.serial = 0;
    event.xclient.send_event = True;
    event.xclient.display = d;
    event.xclient.window = w;
    event.xclient.message_type = atom(d, type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = a0;
    event.xclient.data.l[1] = a1;
    event.xclient.data.l[2] = a2;
    event.xclient.data.l[3] = a3;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

bool windowExists(Display* d, Window w)
{
    XWindowAttributes attrs;
    ErrorTrap trap(d);
    const bool ok = XGetWindowAttributes(d, w, &attrs) != 0;
    return ok && !trap.failed();
}

void moveToCurrentDesktop(Display* d, Window w)
{
    const Window root = DefaultRootWindow(d);
    const auto current = cardinal(d, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    const auto desktop = cardinal(d, w, "_NET_WM_DESKTOP", XA_CARDINAL);
    if (!current || !desktop || *desktop == allDesktops || *desktop == *current)
        return;
    sendRootMessage(d, w, "_NET_WM_DESKTOP", long(*current), sourceIndicationPager);
}

bool activate(Display* d, Window w)
{
    if (!windowExists(d, w))
        return false;
    ErrorTrap trap(d);
    moveToCurrentDesktop(d, w);
    XRaiseWindow(d, w);
    sendRootMessage(d, w, "_NET_ACTIVE_WINDOW", sourceIndicationPager, CurrentTime, None);
    XFlush(d);
    return !trap.failed();
}

bool isIconic(Display* d, Window w)
{
    const Atom wmState = atom(d, "WM_STATE");
    if (const auto state = cardinal(d, w, "WM_STATE", wmState); state && *state == IconicState)
        return true;
    const auto states = cardinals(d, w, "_NET_WM_STATE", XA_ATOM);
    return states && states->contains(atom(d, "_NET_WM_STATE_HIDDEN"));
}

bool restore(Display* d, Window w)
{
    if (!windowExists(d, w))
        return false;
    {
        ErrorTrap trap(d);
        XMapRaised(d, w);
        if (trap.failed())
            return false;
    }
    return activate(d, w);
}

bool isNormalWindow(Display* d, Window w)
{
    const auto types = cardinals(d, w, "_NET_WM_WINDOW_TYPE", XA_ATOM);
    return !types || types->isEmpty() || types->first() == atom(d, "_NET_WM_WINDOW_TYPE_NORMAL");
}

} // namespace

bool activateWindow(WindowID window)
{
    auto display = openDisplay();
    return display && window && activate(display.get(), Window(window));
}

bool minimizeWindow(WindowID window)
{
    auto display = openDisplay();
    if (!display || !window || !windowExists(display.get(), Window(window)))
        return false;
    Display* d = display.get();
    ErrorTrap trap(d);
    const bool sent = XIconifyWindow(d, Window(window), DefaultScreen(d)) != 0;
    XFlush(d);
    return sent && !trap.failed();
}

bool restoreWindow(WindowID window)
{
    auto display = openDisplay();
    return display && window && restore(display.get(), Window(window));
}

bool activateProcess(qint32 processID)
{
    if (processID <= 0)
        return false;
    auto display = openDisplay();
    if (!display)
        return false;
    Display* d = display.get();
    const Window root = DefaultRootWindow(d);
    auto clients = cardinals(d, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (!clients)
        clients = cardinals(d, root, "_NET_CLIENT_LIST", XA_WINDOW);
    if (!clients)
        return false;
    ErrorTrap trap(d);
    // Stacking order is bottom to top: the topmost comes last.
    for (qsizetype i = clients->size(); i-- > 0;) {
        const Window w = Window(clients->at(i));
        const auto pid = windowProcessID(DisplayString(d), xcb_window_t(w));
        if (!pid || *pid != processID || !isNormalWindow(d, w))
            continue;
        qCDebug(lcPlatform) << "Activating window" << Qt::hex << w << "of process" << Qt::dec << processID;
        return isIconic(d, w) ? restore(d, w) : activate(d, w);
    }
    return false;
}

} // namespace zova::x11
