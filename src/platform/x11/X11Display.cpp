#include "platform/x11/X11Display.h"
#include "platform/Platform.h"

#include <mutex>

namespace zova::x11 {

namespace {

thread_local int t_errorCount = 0;

int onXError(Display*, XErrorEvent* event)
{
    ++t_errorCount;
    qCDebug(lcPlatform) << "X error" << int(event->error_code) << "request" << int(event->request_code);
    return 0;
}

int onIOError(Display*)
{
    qCWarning(lcPlatform) << "X connection lost";
    return 0;
}

void onIOErrorExit(Display*, void*)
{
    // Returning keeps the process alive; the connection is unusable from now on.
}

} // namespace

DisplayPtr openDisplay()
{
    static std::once_flag once;
    std::call_once(once, [] { XInitThreads(); });
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display)
        return display;
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onIOError);
    XSetIOErrorExitHandler(display.get(), onIOErrorExit, nullptr);
    return display;
}

ErrorTrap::ErrorTrap(Display* display)
    : m_display(display)
    , m_saved(t_errorCount)
{
    XSetErrorHandler(onXError);
}

ErrorTrap::~ErrorTrap() = default;

bool ErrorTrap::failed()
{
    XSync(m_display, False);
    return t_errorCount != m_saved;
}

Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

} // namespace zova::x11
