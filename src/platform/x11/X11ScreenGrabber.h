#pragma once

#include "platform/CaptureBackend.h"
#include "platform/x11/X11Display.h"

#include <memory>

namespace zova::x11 {

class X11ImageReader;

// Captures through XComposite on its own connection. Redirecting the root's
// children keeps every top-level's own pixels off screen, so a covered window
// is captured whole and a display can be composed without chosen windows.
class X11ScreenGrabber final : public ScreenGrabber {
public:
    X11ScreenGrabber();
    ~X11ScreenGrabber() override;
    Expected<QImage, CaptureError> captureWindow(const DesktopWindow& window) override;
    Expected<QImage, CaptureError> captureDisplay(
        const DesktopScreen& display, const QList<WindowID>& excluded) override;

private:
    DisplayPtr m_display;
    std::unique_ptr<X11ImageReader> m_reader; // destroyed before the display closes
    bool m_composite = false;
};

// Copies an XImage of depth 24 or 32 into a QImage; null for other layouts.
QImage toQImage(XImage* image, int depth);

} // namespace zova::x11
