#include "platform/x11/X11Compositing.h"

#include "platform/x11/X11Display.h"

#include <string>

namespace zova::x11 {

bool compositingManagerRunning()
{
    DisplayPtr display = openDisplay();
    if (!display)
        return false;
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display.get()));
    const Atom selection = XInternAtom(display.get(), name.c_str(), False);
    return XGetSelectionOwner(display.get(), selection) != 0;
}

} // namespace zova::x11
