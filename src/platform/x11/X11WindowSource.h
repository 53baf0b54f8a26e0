#pragma once

#include "platform/CaptureBackend.h"
#include "platform/x11/X11Display.h"

#include <optional>

namespace zova::x11 {

// Reads windows from the EWMH client list (plus mapped override-redirect
// pop-ups that carry a pid) and displays from RandR, on its own connection.
class X11WindowSource final : public WindowSource {
public:
    X11WindowSource();
    Expected<ShareableContent, CaptureError> shareableContent() override;

    // Layer of an EWMH window type name: 0 for normal, dialog and untyped
    // windows, positive for panels, menus and other floating kinds.
    static int layerForWindowType(const QByteArray& typeName);

private:
    std::optional<ShareableWindow> readWindow(Window w, bool overrideRedirect, bool* taskbarRegular);
    QList<ShareableDisplay> readDisplays();

    DisplayPtr m_display;
};

// The top-level (child of the root) that holds a window; None if it is gone.
Window topLevelOf(Display* d, Window w);

} // namespace zova::x11
