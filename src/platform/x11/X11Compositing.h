#pragma once

namespace zova::x11 {

// True when a compositing manager owns _NET_WM_CM_S<n> of the default screen,
// so translucent top-level windows are blended; false without one or without
// an X server.
bool compositingManagerRunning();

} // namespace zova::x11
