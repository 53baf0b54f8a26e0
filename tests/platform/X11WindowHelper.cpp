// A separate client that owns test windows, so they carry a pid other than the
// test's. Reads one command per line on stdin and answers one line on stdout:
//   create X Y W H RRGGBB [title=T] [class=instance.Class (split at the last dot)] [type=NAME] [nopid]
//          [skiptaskbar] [override] [iconic]
//          [icon=RRGGBB:SIZE[,SIZE...]]  _NET_WM_ICON, one square of that colour per size
//          [pixmapicon=RRGGBB:SIZE]      WM_HINTS icon pixmap, masked to its left half
//          [leadericon=RRGGBB:SIZE]      _NET_WM_ICON on an unmapped group leader only
//                                                  -> "ok <window id>"
//   map ID | unmap ID | destroy ID                    -> "ok"
//   pid                                               -> "ok <pid>"
//   quit (or end of input)
// Titles take no spaces; "title=" alone sets an empty title.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

Display* g_display = nullptr;

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

Atom atom(const char* name) { return XInternAtom(g_display, name, False); }

void setAtoms(Window w, const char* property, const char* value)
{
    const Atom a = atom(value);
    XChangeProperty(
        g_display, w, atom(property), XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&a), 1);
}

// Waits until the server reports the window mapped (after the window manager
// has reparented it, for managed windows).
void waitForMap(Window w)
{
    XEvent event;
    for (;;) {
        XWindowEvent(g_display, w, StructureNotifyMask, &event);
        if (event.type == MapNotify)
            return;
    }
}

struct IconSpec {
    unsigned long colour = 0;
    std::vector<unsigned> sizes;
};

// "RRGGBB:S1,S2,..."
bool parseIcon(const std::string& text, IconSpec& spec)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    spec.colour = std::strtoul(text.substr(0, colon).c_str(), nullptr, 16);
    std::istringstream sizes(text.substr(colon + 1));
    for (std::string size; std::getline(sizes, size, ',');)
        spec.sizes.push_back(unsigned(std::strtoul(size.c_str(), nullptr, 10)));
    return !spec.sizes.empty() && spec.sizes.front() > 0;
}

void setNetWmIcon(Window w, const IconSpec& spec)
{
    std::vector<long> data;
    for (unsigned size : spec.sizes) {
        data.push_back(long(size));
        data.push_back(long(size));
        data.insert(data.end(), size_t(size) * size, long(0xFF000000ul | spec.colour));
    }
    XChangeProperty(g_display, w, atom("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
}

// An icon pixmap of the screen's depth in the colour, with a mask that keeps its left half.
void setHintsIcon(Window w, const IconSpec& spec, XWMHints& hints)
{
    const int screen = DefaultScreen(g_display);
    const unsigned size = spec.sizes.front();
    const Pixmap pixmap = XCreatePixmap(g_display, w, size, size, unsigned(DefaultDepth(g_display, screen)));
    GC gc = XCreateGC(g_display, pixmap, 0, nullptr);
    XSetForeground(g_display, gc, spec.colour);
    XFillRectangle(g_display, pixmap, gc, 0, 0, size, size);
    XFreeGC(g_display, gc);
    const Pixmap mask = XCreatePixmap(g_display, w, size, size, 1);
    GC maskGc = XCreateGC(g_display, mask, 0, nullptr);
    XSetForeground(g_display, maskGc, 0);
    XFillRectangle(g_display, mask, maskGc, 0, 0, size, size);
    XSetForeground(g_display, maskGc, 1);
    XFillRectangle(g_display, mask, maskGc, 0, 0, size / 2, size);
    XFreeGC(g_display, maskGc);
    hints.flags |= IconPixmapHint | IconMaskHint;
    hints.icon_pixmap = pixmap;
    hints.icon_mask = mask;
}

std::string create(std::istringstream& in)
{
    int x = 0, y = 0;
    unsigned w = 0, h = 0;
    std::string colour;
    in >> x >> y >> w >> h >> colour;
    if (!in || w == 0 || h == 0)
        return "error bad geometry";
    std::string title;
    bool hasTitle = false, noPid = false, skipTaskbar = false, overrideRedirect = false, iconic = false;
    std::string cls = "zova-helper.ZovaHelper", type;
    IconSpec icon, pixmapIcon, leaderIcon;
    for (std::string token; in >> token;) {
        if (token.rfind("title=", 0) == 0) {
            hasTitle = true;
            title = token.substr(6);
        } else if (token.rfind("class=", 0) == 0) {
            cls = token.substr(6);
        } else if (token.rfind("type=", 0) == 0) {
            type = "_NET_WM_WINDOW_TYPE_" + token.substr(5);
        } else if (token == "nopid") {
            noPid = true;
        } else if (token == "skiptaskbar") {
            skipTaskbar = true;
        } else if (token == "override") {
            overrideRedirect = true;
        } else if (token == "iconic") {
            iconic = true;
        } else if (token.rfind("icon=", 0) == 0) {
            if (!parseIcon(token.substr(5), icon))
                return "error bad icon " + token;
        } else if (token.rfind("pixmapicon=", 0) == 0) {
            if (!parseIcon(token.substr(11), pixmapIcon))
                return "error bad icon " + token;
        } else if (token.rfind("leadericon=", 0) == 0) {
            if (!parseIcon(token.substr(11), leaderIcon))
                return "error bad icon " + token;
        } else {
            return "error unknown option " + token;
        }
    }

    const int screen = DefaultScreen(g_display);
    XSetWindowAttributes attrs {};
    attrs.background_pixel = std::strtoul(colour.c_str(), nullptr, 16);
    attrs.override_redirect = overrideRedirect;
    attrs.event_mask = StructureNotifyMask;
    const Window win = XCreateWindow(g_display, RootWindow(g_display, screen), x, y, w, h, 0, CopyFromParent,
        InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask, &attrs);
    if (hasTitle) {
        XChangeProperty(g_display, win, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
            reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
    }
    const size_t dot = cls.rfind('.');
    std::string instance = cls.substr(0, dot), klass = dot == std::string::npos ? cls : cls.substr(dot + 1);
    XClassHint hint { instance.data(), klass.data() };
    XSetClassHint(g_display, win, &hint);
    if (!noPid) {
        const long pid = long(getpid());
        XChangeProperty(g_display, win, atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
            reinterpret_cast<const unsigned char*>(&pid), 1);
    }
    if (!type.empty())
        setAtoms(win, "_NET_WM_WINDOW_TYPE", type.c_str());
    if (skipTaskbar)
        setAtoms(win, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR");
    // Placed where asked and without decorations.
    XSizeHints size {};
    size.flags = USPosition | USSize | PPosition | PSize;
    size.x = x;
    size.y = y;
    size.width = int(w);
    size.height = int(h);
    XSetWMNormalHints(g_display, win, &size);
    const long motif[5] = { 2, 0, 0, 0, 0 };
    XChangeProperty(g_display, win, atom("_MOTIF_WM_HINTS"), atom("_MOTIF_WM_HINTS"), 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(motif), 5);
    XWMHints wmHints {};
    if (!icon.sizes.empty())
        setNetWmIcon(win, icon);
    if (!pixmapIcon.sizes.empty())
        setHintsIcon(win, pixmapIcon, wmHints);
    if (!leaderIcon.sizes.empty()) {
        const Window leader = XCreateSimpleWindow(g_display, RootWindow(g_display, screen), 0, 0, 1, 1, 0, 0, 0);
        setNetWmIcon(leader, leaderIcon);
        wmHints.flags |= WindowGroupHint;
        wmHints.window_group = leader;
    }
    if (iconic) {
        wmHints.flags |= StateHint;
        wmHints.initial_state = IconicState;
    }
    if (wmHints.flags)
        XSetWMHints(g_display, win, &wmHints);
    if (iconic) {
        XMapWindow(g_display, win);
        XSync(g_display, False);
    } else {
        XMapWindow(g_display, win);
        waitForMap(win);
    }
    XSync(g_display, False);
    return "ok " + std::to_string(win);
}

std::string run(const std::string& line)
{
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command == "create")
        return create(in);
    if (command == "pid")
        return "ok " + std::to_string(getpid());
    Window w = 0;
    in >> w;
    if (!in)
        return "error missing window";
    if (command == "map") {
        XMapWindow(g_display, w);
        waitForMap(w);
    } else if (command == "unmap") {
        XUnmapWindow(g_display, w);
        // A managed window also needs the synthetic unmap for the window manager.
        XEvent event {};
        event.xunmap.type = UnmapNotify;
        event.xunmap.event = DefaultRootWindow(g_display);
        event.xunmap.window = w;
        XSendEvent(
            g_display, DefaultRootWindow(g_display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else if (command == "destroy") {
        XDestroyWindow(g_display, w);
    } else {
        return "error unknown command " + command;
    }
    XSync(g_display, False);
    return "ok";
}

} // namespace

int main()
{
    g_display = XOpenDisplay(nullptr);
    if (!g_display) {
        std::cout << "error no display" << std::endl;
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    std::cout << "ready" << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
        if (line == "quit")
            break;
        if (line.empty())
            continue;
        std::cout << run(line) << std::endl;
    }
    XCloseDisplay(g_display);
    return 0;
}
