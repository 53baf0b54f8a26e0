#pragma once

#include "app/AppWindowOps.h"

namespace zova {

// The main window's operations through the window manager (EWMH): iconify with
// WM_CHANGE_STATE, _NET_WM_DESKTOP to the current desktop, _NET_ACTIVE_WINDOW
// as a pager request. Without an X11 window (offscreen platform) Qt's own calls
// are used.
class EwmhAppWindowOps final : public AppWindowOps {
public:
    void minimize(QWidget* window) override;
    void bringToFront(QWidget* window) override;
};

} // namespace zova
