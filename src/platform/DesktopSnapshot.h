#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

namespace zova {

using WindowID = quint32;

// The application that owns a window: WM_CLASS class as its name, WM_CLASS
// instance as its identifier, _NET_WM_PID (else the X server's record of
// the client's process) as its process identifier.
struct RunningApplication {
    QString applicationName;
    QString wmClassInstance;
    qint32 processID = 0;

    bool operator==(const RunningApplication&) const = default;
};

// A window that can be listed and captured. `frame` is the client area in root
// coordinates; `title` is absent when the window has no name at all, empty when
// its name is empty.
struct DesktopWindow {
    WindowID windowID = 0;
    std::optional<QString> title;
    std::optional<RunningApplication> owningApplication;
    QRectF frame;
    int windowLayer = 0;
    bool isOnScreen = false;
    // Minimised (iconified) by the user, as opposed to lying on another workspace.
    bool isMinimized = false;

    qint32 processID() const { return owningApplication ? owningApplication->processID : 0; }
    bool operator==(const DesktopWindow&) const = default;
};

// One monitor of the X screen.
struct DesktopScreen {
    quint32 displayID = 0;
    QRectF frame;
    int width = 0;
    int height = 0;
    bool isPrimary = false;

    bool operator==(const DesktopScreen&) const = default;
};

// A process that owns windows. It is visible and regular when it has at least
// one normal or dialog window in the window manager's client list that the
// taskbar shows.
struct ApplicationInfo {
    qint32 processID = 0;
    std::optional<QString> localizedName;
    std::optional<QString> wmClassInstance;
    bool isVisibleRegular = false;
};

// A snapshot of the session: windows topmost first, displays in monitor order.
struct DesktopSnapshot {
    QList<DesktopWindow> windows;
    QList<DesktopScreen> displays;
    QList<ApplicationInfo> applications;
};

// Half-open containment: the left and top edges are inside, the right and
// bottom edges are not.
inline bool frameContains(const QRectF& frame, QPointF p)
{
    return p.x() >= frame.left() && p.x() < frame.left() + frame.width() && p.y() >= frame.top()
        && p.y() < frame.top() + frame.height();
}

} // namespace zova
