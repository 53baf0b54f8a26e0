// A separate client that owns test windows, so they carry a pid other than the
// test's. Reads one command per line on stdin and answers one line on stdout:
//   create X Y W H RRGGBB [title=T] [class=instance.Class (split at the last dot)] [type=NAME] [nopid]
//          [skiptaskbar] [override] [iconic]       -> "ok <window id>"
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
    if (iconic) {
        XWMHints wmHints {};
        wmHints.flags = StateHint;
        wmHints.initial_state = IconicState;
        XSetWMHints(g_display, win, &wmHints);
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
