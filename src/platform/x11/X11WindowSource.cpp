#include "platform/x11/X11WindowSource.h"

#include "platform/x11/X11ClientProcess.h"
#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <QHash>

#include <array>
#include <cstring>

namespace zova::x11 {

namespace {

enum AtomIndex {
    netClientListStacking,
    netClientList,
    netWmName,
    utf8String,
    gtkFrameExtents,
    netWmWindowType,
    netWmState,
    netWmStateSkipTaskbar,
    netWmStateHidden,
    netWmPid,
    atomCount
};

constexpr std::array<const char*, atomCount> atomNames {
    "_NET_CLIENT_LIST_STACKING",
    "_NET_CLIENT_LIST",
    "_NET_WM_NAME",
    "UTF8_STRING",
    "_GTK_FRAME_EXTENTS",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_STATE",
    "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_STATE_HIDDEN",
    "_NET_WM_PID",
};

constexpr uint32_t maxPropertyLength = 1 << 20; // in 32-bit units

xcb_get_property_cookie_t askProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type)
{
    return xcb_get_property(c, 0, w, property, type, 0, maxPropertyLength);
}

ReplyPtr<xcb_get_property_reply_t> takeProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie)
{
    auto reply = take<xcb_get_property_reply_t>(c, cookie, xcb_get_property_reply);
    if (reply && reply->type == XCB_ATOM_NONE)
        reply.reset();
    return reply;
}

QList<uint32_t> values32(const xcb_get_property_reply_t* reply, xcb_atom_t type)
{
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    return QList<uint32_t>(data, data + xcb_get_property_value_length(reply) / 4);
}

QByteArray bytes8(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->format != 8)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
}

// The requests for one window, all in flight before any reply is read.
struct WindowCookies {
    xcb_window_t window;
    bool overrideRedirect;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t position;
    xcb_get_property_cookie_t netName, name, frameExtents, type, state, pid, wmClass;
};

} // namespace

struct X11WindowSource::Atoms {
    std::array<xcb_atom_t, atomCount> atoms {};
    xcb_atom_t operator[](AtomIndex i) const { return atoms[size_t(i)]; }
};

X11WindowSource::X11WindowSource()
    : m_display(openDisplay())
{
    if (!m_display)
        return;
    m_xcb.reset(xcb_connect(DisplayString(m_display.get()), nullptr));
    if (xcb_connection_has_error(m_xcb.get())) {
        m_xcb.reset();
        return;
    }
    m_atoms = std::make_unique<Atoms>();
    std::array<xcb_intern_atom_cookie_t, atomCount> cookies;
    for (size_t i = 0; i < atomCount; ++i)
        cookies[i] = xcb_intern_atom(m_xcb.get(), 0, uint16_t(std::strlen(atomNames[i])), atomNames[i]);
    for (size_t i = 0; i < atomCount; ++i) {
        auto reply = take<xcb_intern_atom_reply_t>(m_xcb.get(), cookies[i], xcb_intern_atom_reply);
        m_atoms->atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
}

X11WindowSource::~X11WindowSource() = default;

int X11WindowSource::layerForWindowType(const QByteArray& typeName)
{
    static const QHash<QByteArray, int> layers {
        { "_NET_WM_WINDOW_TYPE_NORMAL", 0 },
        { "_NET_WM_WINDOW_TYPE_DIALOG", 0 },
        { "_NET_WM_WINDOW_TYPE_DESKTOP", -1 },
        { "_NET_WM_WINDOW_TYPE_UTILITY", 3 },
        { "_NET_WM_WINDOW_TYPE_TOOLBAR", 3 },
        { "_NET_WM_WINDOW_TYPE_SPLASH", 3 },
        { "_NET_WM_WINDOW_TYPE_DOCK", 20 },
        { "_NET_WM_WINDOW_TYPE_NOTIFICATION", 25 },
        { "_NET_WM_WINDOW_TYPE_MENU", 101 },
        { "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", 101 },
        { "_NET_WM_WINDOW_TYPE_POPUP_MENU", 101 },
        { "_NET_WM_WINDOW_TYPE_COMBO", 101 },
        { "_NET_WM_WINDOW_TYPE_TOOLTIP", 102 },
        { "_NET_WM_WINDOW_TYPE_DND", 500 },
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

QByteArray X11WindowSource::atomName(xcb_atom_t atom)
{
    auto it = m_atomNames.constFind(atom);
    if (it != m_atomNames.constEnd())
        return *it;
    auto reply
        = take<xcb_get_atom_name_reply_t>(m_xcb.get(), xcb_get_atom_name(m_xcb.get(), atom), xcb_get_atom_name_reply);
    QByteArray name = reply
        ? QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()))
        : QByteArray();
    m_atomNames.insert(atom, name);
    return name;
}

QList<xcb_window_t> X11WindowSource::mappedPopups(xcb_window_t root)
{
    xcb_connection_t* c = m_xcb.get();
    auto tree = take<xcb_query_tree_reply_t>(c, xcb_query_tree(c, root), xcb_query_tree_reply);
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int n = xcb_query_tree_children_length(tree.get());
    QList<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(n);
    for (int i = 0; i < n; ++i)
        cookies.append(xcb_get_window_attributes(c, children[i]));
    // Bottom to top in the tree; topmost first in the answer.
    QList<xcb_window_t> popups;
    for (int i = 0; i < n; ++i) {
        auto attrs = take<xcb_get_window_attributes_reply_t>(c, cookies[i], xcb_get_window_attributes_reply);
        if (attrs && attrs->override_redirect && attrs->map_state == XCB_MAP_STATE_VIEWABLE
            && attrs->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT)
            popups.prepend(children[i]);
    }
    return popups;
}

QList<DesktopScreen> X11WindowSource::readDisplays()
{
    Display* d = m_display.get();
    QList<DesktopScreen> displays;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(d, DefaultRootWindow(d), True, &count);
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        DesktopScreen display;
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
        DesktopScreen whole;
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

Expected<DesktopSnapshot, CaptureError> X11WindowSource::snapshot()
{
    if (!m_display || !m_xcb || xcb_connection_has_error(m_xcb.get()))
        return unexpected(CaptureError::NoDisplay);
    xcb_connection_t* c = m_xcb.get();
    const Atoms& a = *m_atoms;
    const xcb_window_t root = xcb_window_t(DefaultRootWindow(m_display.get()));

    auto stackingCookie = askProperty(c, root, a[netClientListStacking], XCB_ATOM_WINDOW);
    auto clientCookie = askProperty(c, root, a[netClientList], XCB_ATOM_WINDOW);
    // Mapped override-redirect children of the root (menus, tooltips) lie above
    // the managed windows.
    const QList<xcb_window_t> popups = mappedPopups(root);
    auto stacking = takeProperty(c, stackingCookie);
    auto clientList = takeProperty(c, clientCookie);
    QList<uint32_t> clients = values32(stacking.get(), XCB_ATOM_WINDOW);
    if (!stacking)
        clients = values32(clientList.get(), XCB_ATOM_WINDOW);

    QList<WindowCookies> pending;
    pending.reserve(popups.size() + clients.size());
    auto ask = [&](xcb_window_t w, bool overrideRedirect) {
        pending.append({ w, overrideRedirect, xcb_get_window_attributes(c, w), xcb_get_geometry(c, w),
            xcb_translate_coordinates(c, w, root, 0, 0), askProperty(c, w, a[netWmName], a[utf8String]),
            askProperty(c, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY),
            askProperty(c, w, a[gtkFrameExtents], XCB_ATOM_CARDINAL),
            askProperty(c, w, a[netWmWindowType], XCB_ATOM_ATOM), askProperty(c, w, a[netWmState], XCB_ATOM_ATOM),
            askProperty(c, w, a[netWmPid], XCB_ATOM_CARDINAL), askProperty(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING) });
    };
    for (xcb_window_t w : popups)
        ask(w, true);
    for (qsizetype i = clients.size(); i-- > 0;)
        ask(clients[i], false);

    // A window read, waiting for its owner when it carries no _NET_WM_PID.
    struct ReadWindow {
        DesktopWindow window;
        RunningApplication app;
        bool overrideRedirect = false;
        bool regular = false;
    };
    QList<ReadWindow> read;
    read.reserve(pending.size());
    for (const WindowCookies& p : pending) {
        // Every reply is taken, so none is left queued on the connection.
        auto attrs = take<xcb_get_window_attributes_reply_t>(c, p.attributes, xcb_get_window_attributes_reply);
        auto geometry = take<xcb_get_geometry_reply_t>(c, p.geometry, xcb_get_geometry_reply);
        auto position = take<xcb_translate_coordinates_reply_t>(c, p.position, xcb_translate_coordinates_reply);
        auto netName = takeProperty(c, p.netName);
        auto name = takeProperty(c, p.name);
        auto frameExtents = takeProperty(c, p.frameExtents);
        auto type = takeProperty(c, p.type);
        auto state = takeProperty(c, p.state);
        auto pid = takeProperty(c, p.pid);
        auto wmClass = takeProperty(c, p.wmClass);
        if (!attrs || !geometry || !position || attrs->_class == XCB_WINDOW_CLASS_INPUT_ONLY)
            continue;

        ReadWindow r;
        DesktopWindow& window = r.window;
        window.windowID = WindowID(p.window);
        if (netName && netName->format == 8 && netName->type == a[utf8String]) {
            window.title = QString::fromUtf8(bytes8(netName.get()));
        } else if (name && name->format == 8) {
            if (name->type == XCB_ATOM_STRING)
                window.title = QString::fromLatin1(bytes8(name.get()));
            else if (name->type == a[utf8String])
                window.title = QString::fromUtf8(bytes8(name.get()));
            else // compound text and other encodings: Xlib converts them
                window.title = windowTitle(m_display.get(), Window(p.window));
        }
        window.isOnScreen = attrs->map_state == XCB_MAP_STATE_VIEWABLE;
        QRectF frame(position->dst_x, position->dst_y, geometry->width, geometry->height);
        if (const auto e = values32(frameExtents.get(), XCB_ATOM_CARDINAL); e.size() == 4)
            frame.adjust(double(e[0]), double(e[2]), -double(e[1]), -double(e[3]));
        window.frame = frame;

        QByteArray typeName;
        if (const auto types = values32(type.get(), XCB_ATOM_ATOM); !types.isEmpty())
            typeName = atomName(types.first());
        window.windowLayer = p.overrideRedirect && typeName.isEmpty() ? 101 : layerForWindowType(typeName);
        const QList<uint32_t> states = values32(state.get(), XCB_ATOM_ATOM);
        const bool skipTaskbar = states.contains(a[netWmStateSkipTaskbar]);
        window.isMinimized = !window.isOnScreen && states.contains(a[netWmStateHidden]);
        r.overrideRedirect = p.overrideRedirect;
        r.regular = !p.overrideRedirect && window.windowLayer == 0 && !skipTaskbar;

        // WM_CLASS holds the instance and the class, each ended by a NUL.
        if (wmClass && wmClass->format == 8) {
            const QList<QByteArray> parts = bytes8(wmClass.get()).split('\0');
            r.app.wmClassInstance = QString::fromUtf8(parts.value(0));
            r.app.applicationName = QString::fromUtf8(parts.value(1));
        }
        if (const auto pids = values32(pid.get(), XCB_ATOM_CARDINAL); !pids.isEmpty() && qint32(pids.first()) > 0)
            r.app.processID = qint32(pids.first());
        read.append(std::move(r));
    }

    // Clients that set no _NET_WM_PID (classic X clients, many pop-ups) are
    // attributed through the server's record of each client's process.
    if (!m_clientProcesses)
        m_clientProcesses = std::make_unique<ClientProcessQuery>(c);
    if (m_clientProcesses->available()) {
        QList<std::pair<qsizetype, xcb_res_query_client_ids_cookie_t>> asked;
        for (qsizetype i = 0; i < read.size(); ++i) {
            if (read[i].app.processID == 0)
                asked.append({ i, m_clientProcesses->ask(xcb_window_t(read[i].window.windowID)) });
        }
        for (const auto& [i, cookie] : asked)
            read[i].app.processID = m_clientProcesses->take(cookie).value_or(0);
    }

    DesktopSnapshot content;
    QHash<qint32, int> appIndex;
    for (ReadWindow& r : read) {
        DesktopWindow& window = r.window;
        // A window whose process is unknown has no owning application (and a
        // pop-up without one is left out).
        if (r.app.processID > 0)
            window.owningApplication = r.app;
        else if (r.overrideRedirect)
            continue;

        if (const qint32 id = window.processID()) {
            auto it = appIndex.find(id);
            if (it == appIndex.end()) {
                ApplicationInfo info;
                info.processID = id;
                info.localizedName = window.owningApplication->applicationName;
                info.wmClassInstance = window.owningApplication->wmClassInstance;
                it = appIndex.insert(id, int(content.applications.size()));
                content.applications.append(info);
            }
            if (r.regular)
                content.applications[*it].isVisibleRegular = true;
        }
        content.windows.append(std::move(window));
    }
    if (xcb_connection_has_error(c))
        return unexpected(CaptureError::NoDisplay);
    content.displays = readDisplays();
    return content;
}

} // namespace zova::x11
