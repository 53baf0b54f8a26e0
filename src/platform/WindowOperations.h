#pragma once

#include "platform/DesktopSnapshot.h"

#include <QtGlobal>

namespace zova {

// Window-manager requests for client windows. Any thread may call them. Each
// answers false when there is no display, the window has gone, or (for
// activateProcess) the process has no normal window.
class WindowOperations {
public:
    virtual ~WindowOperations() = default;
    // Moves the window to the current desktop, raises it and activates it.
    virtual bool activateWindow(WindowID window) = 0;
    // Iconifies the window.
    virtual bool minimizeWindow(WindowID window) = 0;
    // De-iconifies the window, then activates it as above.
    virtual bool restoreWindow(WindowID window) = 0;
    // Activates the process's topmost normal window (restoring it when it is
    // minimised).
    virtual bool activateProcess(qint32 processID) = 0;
};

} // namespace zova
