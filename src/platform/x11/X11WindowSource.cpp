#include "platform/x11/X11WindowSource.h"

#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <QHash>

namespace zova::x11 {

namespace {

QByteArray atomName(Display* d, Atom a)
{
    XPtr<char> name(XGetAtomName(d, a));
    return name ? QByteArray(name.get()) : QByteArray();
}

} // namespace

X11WindowSource::X11WindowSource() : m_display(openDisplay()) {}

int X11WindowSource::layerForWindowType(const QByteArray& typeName)
{
    static const QHash<QByteArray, int> layers{
        {"_NET_WM_WINDOW_TYPE_NORMAL", 0},         {"_NET_WM_WINDOW_TYPE_DIALOG", 0},
        {"_NET_WM_WINDOW_TYPE_DESKTOP", -1},       {"_NET_WM_WINDOW_TYPE_UTILITY", 3},
        {"_NET_WM_WINDOW_TYPE_TOOLBAR", 3},        {"_NET_WM_WINDOW_TYPE_SPLASH", 3},
        {"_NET_WM_WINDOW_TYPE_DOCK", 20},          {"_NET_WM_WINDOW_TYPE_NOTIFICATION", 25},
        {"_NET_WM_WINDOW_TYPE_MENU", 101},         {"_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", 101},
        {"_NET_WM_WINDOW_TYPE_POPUP_MENU", 101},   {"_NET_WM_WINDOW_TYPE_COMBO", 101},
        {"_NET_WM_WINDOW_TYPE_TOOLTIP", 102},      {"_NET_WM_WINDOW_TYPE_DND", 500},
    };
    return layers.value(typeName, 0);
}

Window topLevelOf(Display* d, Window w)
{
    const Window root = DefaultRootWindow(d);
    Window current = w;
    for (int depth = 0; depth < 16; ++depth) {
        Window rootReturn = None, parent = None;
        Window* children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d, current, &rootReturn, &parent, &children, &n))
            return None;
        XFree(children);
        if (parent == root || parent == None)
            return current;
        current = parent;
    }
    return None;
}

std::optional<ShareableWindow> X11WindowSource::readWindow(Window w, bool overrideRedirect, bool* taskbarRegular)
{
    Display* d = m_display.get();
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(d, w, &attrs))
        return std::nullopt;
    if (attrs.c_class == InputOnly)
        return std::nullopt;
    int x = 0, y = 0;
    Window child = None;
    if (!XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child))
        return std::nullopt;

    ShareableWindow window;
    window.windowID = WindowID(w);
    window.title = windowTitle(d, w);
    window.isOnScreen = attrs.map_state == IsViewable;
    QRectF frame(x, y, attrs.width, attrs.height);
    if (auto extents = cardinals(d, w, "_GTK_FRAME_EXTENTS", XA_CARDINAL); extents && extents->size() == 4) {
        const auto& e = *extents;
        frame.adjust(double(e[0]), double(e[2]), -double(e[1]), -double(e[3]));
    }
    window.frame = frame;

    QByteArray typeName;
    if (auto types = cardinals(d, w, "_NET_WM_WINDOW_TYPE", XA_ATOM); types && !types->isEmpty())
        typeName = atomName(d, Atom(types->first()));
    window.windowLayer = overrideRedirect && typeName.isEmpty() ? 101 : layerForWindowType(typeName);

    bool skipTaskbar = false;
    if (auto states = cardinals(d, w, "_NET_WM_STATE", XA_ATOM)) {
        const Atom skip = atom(d, "_NET_WM_STATE_SKIP_TASKBAR");
        skipTaskbar = states->contains(skip);
    }
    *taskbarRegular = !overrideRedirect && window.windowLayer == 0 && !skipTaskbar;

    // A window without _NET_WM_PID cannot be attributed to a process: it has no
    // owning application.
    if (auto pid = cardinal(d, w, "_NET_WM_PID", XA_CARDINAL); pid && *pid > 0) {
        RunningApplication app;
        app.processID = qint32(*pid);
        if (auto cls = windowClass(d, w)) {
            app.bundleIdentifier = cls->first;
            app.applicationName = cls->second;
        }
        window.owningApplication = app;
    }
    return window;
}

QList<ShareableDisplay> X11WindowSource::readDisplays()
{
    Display* d = m_display.get();
    QList<ShareableDisplay> displays;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(d, DefaultRootWindow(d), True, &count);
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        ShareableDisplay display;
        display.displayID = m.noutput > 0 ? quint32(m.outputs[0]) : quint32(i + 1);
        display.frame = QRectF(m.x, m.y, m.width, m.height);
        display.width = m.width;
        display.height = m.height;
        display.isPrimary = m.primary;
        displays.append(display);
    }
    if (monitors)
        XRRFreeMonitors(monitors);
    if (displays.isEmpty()) {
        const int s = DefaultScreen(d);
        ShareableDisplay whole;
        whole.displayID = 1;
        whole.width = DisplayWidth(d, s);
        whole.height = DisplayHeight(d, s);
        whole.frame = QRectF(0, 0, whole.width, whole.height);
        displays.append(whole);
    }
    // Without a primary output the monitor at the origin is the main display.
    const bool anyPrimary = std::any_of(displays.begin(), displays.end(), [](const auto& m) { return m.isPrimary; });
    if (!anyPrimary) {
        for (auto& m : displays) {
            if (m.frame.topLeft() == QPointF(0, 0)) {
                m.isPrimary = true;
                break;
            }
        }
    }
    return displays;
}

Expected<ShareableContent, CaptureError> X11WindowSource::shareableContent()
{
    if (!m_display)
        return unexpected(CaptureError::noDisplay);
    Display* d = m_display.get();
    const Window root = DefaultRootWindow(d);
    ErrorTrap trap(d);

    auto clients = cardinals(d, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (!clients)
        clients = cardinals(d, root, "_NET_CLIENT_LIST", XA_WINDOW);

    // Mapped override-redirect children of the root (menus, tooltips) lie above
    // the managed windows.
    QList<Window> popups;
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, root, &rootReturn, &parent, &children, &n)) {
        for (unsigned int i = n; i-- > 0;) {
            XWindowAttributes attrs;
            if (XGetWindowAttributes(d, children[i], &attrs) && attrs.override_redirect &&
                attrs.map_state == IsViewable && attrs.c_class == InputOutput)
                popups.append(children[i]);
        }
        XFree(children);
    }

    ShareableContent content;
    QHash<qint32, int> appIndex;
    auto add = [&](Window w, bool overrideRedirect) {
        bool regular = false;
        auto window = readWindow(w, overrideRedirect, &regular);
        if (!window || (overrideRedirect && !window->owningApplication))
            return;
        if (const qint32 pid = window->processID()) {
            auto it = appIndex.find(pid);
            if (it == appIndex.end()) {
                ApplicationInfo info;
                info.processID = pid;
                info.localizedName = window->owningApplication->applicationName;
                info.bundleIdentifier = window->owningApplication->bundleIdentifier;
                it = appIndex.insert(pid, int(content.applications.size()));
                content.applications.append(info);
            }
            if (regular)
                content.applications[*it].isVisibleRegular = true;
        }
        content.windows.append(*window);
    };
    for (Window w : popups)
        add(w, true);
    if (clients) {
        for (qsizetype i = clients->size(); i-- > 0;)
            add(Window(clients->at(i)), false);
    }
    content.displays = readDisplays();
    return content;
}

} // namespace zova::x11
