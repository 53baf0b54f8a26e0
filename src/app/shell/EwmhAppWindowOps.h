#pragma once

#include "app/shell/AppWindowOps.h"

#include <memory>

namespace zova {

class WindowOperations;

// The main window's operations through the window manager (EWMH): iconify, and
// back with _NET_WM_DESKTOP to the current desktop and _NET_ACTIVE_WINDOW as a
// pager request. Without an X11 window (offscreen platform) Qt's calls alone.
class EwmhAppWindowOps final : public AppWindowOps {
public:
    explicit EwmhAppWindowOps(std::shared_ptr<WindowOperations> operations);

    void minimize(QWidget* window) override;
    void bringToFront(QWidget* window) override;

private:
    std::shared_ptr<WindowOperations> m_operations;
};

} // namespace zova
