#pragma once

#include "base/Expected.h"
#include "platform/DesktopSnapshot.h"

#include <QImage>
#include <QString>

#include <optional>

namespace zova {

enum class CaptureError {
    NoDisplay,
    WindowNotCapturable,
    CaptureFailed,
};

QString captureErrorMessage(CaptureError error);

// The session's windows, displays and window-owning processes.
class WindowSource {
public:
    virtual ~WindowSource() = default;
    // Every window (client windows and mapped override-redirect pop-ups whose
    // process is known), topmost first; fails when the session cannot be read.
    virtual Expected<DesktopSnapshot, CaptureError> snapshot() = 0;
};

// The icons that clients publish for their windows.
class WindowIconSource {
public:
    virtual ~WindowIconSource() = default;
    // The window's icon (else its group leader's) nearest to `size` pixels: the
    // smallest at least that large, else the largest; nothing when the client
    // publishes none or the window has gone.
    virtual std::optional<QImage> icon(WindowID window, int size) = 0;
};

// Pixels of a window or of a display.
class ScreenGrabber {
public:
    virtual ~ScreenGrabber() = default;
    // The window's own pixels (also where it is covered), frame size.
    virtual Expected<QImage, CaptureError> captureWindow(const DesktopWindow& window) = 0;
    // The display composed without the listed windows.
    virtual Expected<QImage, CaptureError> captureDisplay(const DesktopScreen& display, const QList<WindowID>& excluded)
        = 0;
};

} // namespace zova
