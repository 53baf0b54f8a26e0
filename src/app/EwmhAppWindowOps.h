#pragma once

#include "app/AppWindowOps.h"

namespace zova {

// The main window's operations through the window manager (EWMH): iconify, and
// back with _NET_WM_DESKTOP to the current desktop and _NET_ACTIVE_WINDOW as a
// pager request. Without an X11 window (offscreen platform) Qt's calls alone.
class EwmhAppWindowOps final : public AppWindowOps {
public:
    void minimize(QWidget* window) override;
    void bringToFront(QWidget* window) override;
};

} // namespace zova
