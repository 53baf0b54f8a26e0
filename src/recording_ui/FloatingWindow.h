#pragma once

class QWidget;

namespace zova {
class CompositingCheck;
}

namespace zova::FloatingWindow {

// Makes a parentless widget a floating window that never takes the focus, stays
// above every other window (full-screen ones too), is shown on every workspace
// and has no taskbar entry. With `clickThrough`, clicks pass to the windows
// below; with `translucent`, its background is left transparent.
void configure(QWidget* window, bool clickThrough, bool translucent);

// Whether translucent pixels of a top-level window are blended with what lies
// below; without a compositing manager they are painted black.
bool translucencyAvailable(CompositingCheck& compositing);

} // namespace zova::FloatingWindow
