#pragma once

// Qt headers must come before Xlib, which defines Bool, Status, None and the like.
#include <QDataStream>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QLoggingCategory>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QTextStream>

#include <X11/Xlib.h>

#include <memory>

namespace zova::x11 {

struct DisplayCloser {
    void operator()(Display* d) const
    {
        if (d)
            XCloseDisplay(d);
    }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct XFreeDeleter {
    void operator()(void* p) const
    {
        if (p)
            XFree(p);
    }
};
template <typename T> using XPtr = std::unique_ptr<T, XFreeDeleter>;

// Opens a connection to $DISPLAY with the non-fatal error handlers installed;
// null when there is no X server to talk to.
DisplayPtr openDisplay();

// Counts X protocol errors raised on this thread while it lives. Errors are
// never fatal: a window may vanish between two requests.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Syncs with the server and reports whether any request failed.
    bool failed();

private:
    Display* m_display;
    int m_saved;
};

// Atoms by name, interned once per connection.
Atom atom(Display* display, const char* name);

} // namespace zova::x11
