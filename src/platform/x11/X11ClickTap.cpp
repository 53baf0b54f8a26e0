#include "platform/x11/X11ClickTap.h"

#include "platform/Platform.h"

#include <X11/extensions/XInput2.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zova::x11 {

X11ClickTap::~X11ClickTap() { stop(); }

bool X11ClickTap::start(PressHandler onPress, LossHandler onLoss)
{
    stop();
    DisplayPtr display = openDisplay();
    if (!display)
        return false;
    Display* d = display.get();
    int event = 0, error = 0;
    if (!XQueryExtension(d, "XInputExtension", &m_opcode, &event, &error))
        return false;
    int major = 2, minor = 1;
    if (XIQueryVersion(d, &major, &minor) != Success || major < 2 || (major == 2 && minor < 1))
        return false;

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawButtonPress);
    XIEventMask mask { XIAllMasterDevices, int(sizeof(bits)), bits };
    ErrorTrap trap(d);
    XISelectEvents(d, DefaultRootWindow(d), &mask, 1);
    if (trap.failed())
        return false;

    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0)
        return false;
    m_display = std::move(display);
    m_onPress = std::move(onPress);
    m_onLoss = std::move(onLoss);
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

void X11ClickTap::stop()
{
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(m_wakeFd, &one, sizeof(one));
        m_thread.join();
    }
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
        m_wakeFd = -1;
    }
    m_display.reset();
    m_running = false;
}

bool X11ClickTap::reenable()
{
    PressHandler onPress = m_onPress;
    LossHandler onLoss = m_onLoss;
    return start(std::move(onPress), std::move(onLoss));
}

void X11ClickTap::run()
{
    Display* d = m_display.get();
    const Window root = DefaultRootWindow(d);
    pollfd fds[2] = { { ConnectionNumber(d), POLLIN, 0 }, { m_wakeFd, POLLIN, 0 } };
    bool lost = false;
    while (!lost) {
        // Events already read into Xlib's queue would not wake poll().
        if (XPending(d) == 0) {
            if (poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents & POLLIN)
                break;
            if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                lost = true;
                break;
            }
            if (XPending(d) == 0) {
                // Readable but nothing parsed: the server closed the connection.
                char probe;
                if (recv(ConnectionNumber(d), &probe, 1, MSG_PEEK | MSG_DONTWAIT) == 0)
                    lost = true;
                continue;
            }
        }
        XEvent event;
        XNextEvent(d, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_opcode || cookie->evtype != XI_RawButtonPress)
            continue;
        unsigned button = 0;
        if (XGetEventData(d, cookie)) {
            button = unsigned(static_cast<XIRawEvent*>(cookie->data)->detail);
            XFreeEventData(d, cookie);
        }
        if (button != 1 && button != 3)
            continue;
        Window rootReturn = None, child = None;
        int rootX = 0, rootY = 0, winX = 0, winY = 0;
        unsigned int state = 0;
        XQueryPointer(d, root, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &state);
        Press press { double(rootX), double(rootY), button, QDateTime::currentDateTime() };
        if (m_onPress)
            m_onPress(press);
    }
    m_running = false;
    if (lost) {
        qCWarning(lcPlatform) << "Click tap lost its X connection";
        if (m_onLoss)
            m_onLoss(connectionLost);
    }
}

} // namespace zova::x11
