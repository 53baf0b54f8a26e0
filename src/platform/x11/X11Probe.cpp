#include "platform/x11/X11Probe.h"

#include "platform/x11/X11Display.h"

#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xcomposite.h>

#include <QByteArray>

#include <mutex>
#include <optional>

namespace zova::x11 {

namespace {

SessionCapabilities probe()
{
    SessionCapabilities caps;
    // Without $DISPLAY there is no X11 access (a pure Wayland session).
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return caps;
    DisplayPtr display = openDisplay();
    if (!display)
        return caps;
    Display* d = display.get();
    int event = 0, error = 0, major = 0, minor = 2;
    if (XCompositeQueryExtension(d, &event, &error) && XCompositeQueryVersion(d, &major, &minor)
        && (major > 0 || minor >= 2)) {
        XWindowAttributes attrs;
        caps.canCaptureScreen = XGetWindowAttributes(d, DefaultRootWindow(d), &attrs) != 0;
    }
    int opcode = 0;
    if (XQueryExtension(d, "XInputExtension", &opcode, &event, &error)) {
        int xiMajor = 2, xiMinor = 1;
        caps.canListenToInput
            = XIQueryVersion(d, &xiMajor, &xiMinor) == Success && (xiMajor > 2 || (xiMajor == 2 && xiMinor >= 1));
    }
    return caps;
}

} // namespace

SessionCapabilities sessionCapabilities(bool fresh)
{
    static std::mutex mutex;
    static std::optional<SessionCapabilities> cached;
    std::lock_guard lock(mutex);
    if (fresh || !cached)
        cached = probe();
    return *cached;
}

} // namespace zova::x11
