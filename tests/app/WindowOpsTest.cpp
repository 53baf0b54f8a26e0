#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "app/shell/EwmhAppWindowOps.h"
#include "platform/x11/X11Backends.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Properties.h"
#include "support/TestSupport.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

using namespace zova;

namespace {

std::optional<unsigned long> prop(Display* d, Window w, const char* name, Atom type)
{
    return x11::cardinal(d, w, name, type);
}

void switchDesktop(Display* d, long desktop)
{
    XEvent e {};
    e.xclient.type = ClientMessage;
    e.xclient.send_event = True;
    e.xclient.window = DefaultRootWindow(d);
    e.xclient.message_type = x11::atom(d, "_NET_CURRENT_DESKTOP");
    e.xclient.format = 32;
    e.xclient.data.l[0] = desktop;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(d);
}

TEST(EwmhAppWindowOps, MinimisedWindowComesBackActiveOnTheCurrentDesktop)
{
    x11::DisplayPtr display = x11::openDisplay();
    if (!display)
        GTEST_SKIP() << "needs the X session of scripts/xsession.sh";
    Display* d = display.get();
    const Window root = DefaultRootWindow(d);
    const auto desktops = prop(d, root, "_NET_NUMBER_OF_DESKTOPS", XA_CARDINAL);
    if (!desktops || *desktops < 2)
        GTEST_SKIP() << "needs a window manager with two desktops";

    QWidget window;
    window.setWindowTitle(QStringLiteral("Ops Window"));
    window.resize(300, 200);
    window.show();
    const auto w = Window(window.winId());
    ASSERT_TRUE(test::waitUntil([&] { return prop(d, w, "_NET_WM_DESKTOP", XA_CARDINAL) == 0ul; }));
    const auto iconic = [&] {
        const auto state = x11::cardinals(d, w, "WM_STATE", x11::atom(d, "WM_STATE"));
        return state && !state->isEmpty() && state->first() == IconicState;
    };

    EwmhAppWindowOps ops(x11::makeWindowOperations());
    ops.minimize(&window);
    ASSERT_TRUE(test::waitUntil(iconic)) << "not iconified";
    switchDesktop(d, 1);
    ASSERT_TRUE(test::waitUntil([&] { return prop(d, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL) == 1ul; }));

    ops.bringToFront(&window);
    EXPECT_TRUE(test::waitUntil([&] { return !iconic(); })) << "still iconified";
    EXPECT_TRUE(test::waitUntil([&] { return prop(d, w, "_NET_WM_DESKTOP", XA_CARDINAL) == 1ul; }))
        << "not moved to the current desktop";
    EXPECT_TRUE(test::waitUntil([&] { return prop(d, root, "_NET_ACTIVE_WINDOW", XA_WINDOW) == w; }))
        << "not the active window";
    EXPECT_FALSE(window.isMinimized());
    switchDesktop(d, 0);
}

} // namespace
