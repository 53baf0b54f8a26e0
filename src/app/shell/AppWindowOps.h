#pragma once

class QWidget;

namespace zova {

// What the recording flow does to the application's own main window. Kept
// behind an interface so the flow can be driven without a window manager.
class AppWindowOps {
public:
    virtual ~AppWindowOps() = default;
    // Iconifies the window.
    virtual void minimize(QWidget* window) = 0;
    // De-iconifies the window, moves it to the current workspace, raises it and
    // gives it the input focus.
    virtual void bringToFront(QWidget* window) = 0;
};

} // namespace zova
