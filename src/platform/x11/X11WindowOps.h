#pragma once

#include "platform/DesktopSnapshot.h"

#include <QtGlobal>

namespace zova::x11 {

// Window-manager requests for client windows (EWMH). Each opens its own short
// connection, so any thread may call them. False when there is no X display,
// the window has gone, or (for activateProcess) the process has no window.

// Moves the window to the current desktop, raises it and asks the window
// manager to activate it (_NET_ACTIVE_WINDOW from a pager, source indication 2).
bool activateWindow(WindowID window);
// Iconifies the window.
bool minimizeWindow(WindowID window);
// Maps (de-iconifies) the window, then activates it as above.
bool restoreWindow(WindowID window);
// Activates the process's topmost normal client window (restoring it when it is
// minimised).
bool activateProcess(qint32 processID);

} // namespace zova::x11
