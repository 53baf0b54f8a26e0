#pragma once

// Qt before Xlib, which defines Bool, None and the like.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <functional>

// Another X client for the tests: its own connection, a plain window of one
// colour, and XTest input.
class X11Client {
public:
    X11Client()
        : m_display(XOpenDisplay(nullptr))
    {
    }
    ~X11Client()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    X11Client(const X11Client&) = delete;
    X11Client& operator=(const X11Client&) = delete;

    Display* display() const { return m_display; }
    Window root() const { return DefaultRootWindow(m_display); }

    Window createWindow(const QRect& frame, QColor colour, const char* name)
    {
        XSetWindowAttributes attributes {};
        attributes.background_pixel = (colour.red() << 16) | (colour.green() << 8) | colour.blue();
        attributes.event_mask = ButtonPressMask | StructureNotifyMask;
        Window w = XCreateWindow(m_display, root(), frame.x(), frame.y(), frame.width(), frame.height(), 0,
            CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
        XStoreName(m_display, w, name);
        XSizeHints hints {};
        hints.flags = USPosition | PPosition;
        hints.x = frame.x();
        hints.y = frame.y();
        XSetWMNormalHints(m_display, w, &hints);
        XMapRaised(m_display, w);
        XSync(m_display, False);
        return w;
    }

    bool isViewable(Window w)
    {
        XWindowAttributes a {};
        return XGetWindowAttributes(m_display, w, &a) && a.map_state == IsViewable;
    }

    // The window's rectangle in root coordinates.
    QRect rootGeometry(Window w)
    {
        XWindowAttributes a {};
        if (!XGetWindowAttributes(m_display, w, &a))
            return {};
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(m_display, w, root(), 0, 0, &x, &y, &child);
        return { x, y, a.width, a.height };
    }

    void click(QPoint at, unsigned button = 1)
    {
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_display, button, False, CurrentTime);
        XSync(m_display, False);
    }

    // Whether a button press reached the window within the time.
    bool receivedButtonPress(Window w, const std::function<void()>& pump, int timeoutMs = 1000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            XEvent event;
            XSync(m_display, False);
            while (XCheckWindowEvent(m_display, w, ButtonPressMask, &event))
                if (event.type == ButtonPress)
                    return true;
            pump();
            QThread::msleep(10);
        }
        return false;
    }

    QColor pixel(QPoint at)
    {
        XImage* image = XGetImage(m_display, root(), at.x(), at.y(), 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return {};
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return QColor(int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff));
    }

    Window focus()
    {
        Window w = 0;
        int revert = 0;
        XGetInputFocus(m_display, &w, &revert);
        return w;
    }

    // Mapped direct children of the root whose name is `name`.
    int countViewable(const QString& name)
    {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        int found = 0;
        if (!XQueryTree(m_display, root(), &rootReturn, &parent, &children, &count))
            return 0;
        for (unsigned i = 0; i < count; ++i) {
            char* title = nullptr;
            if (XFetchName(m_display, children[i], &title) && title) {
                if (name == QString::fromUtf8(title) && isViewable(children[i]))
                    ++found;
                XFree(title);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

private:
    Display* m_display;
};
