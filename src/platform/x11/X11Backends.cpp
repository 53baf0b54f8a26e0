#include "platform/x11/X11Backends.h"

#include "platform/x11/X11ClickTap.h"
#include "platform/x11/X11ScreenGrabber.h"
#include "platform/x11/X11WindowSource.h"

namespace zova::x11 {

std::shared_ptr<WindowSource> makeWindowSource() { return std::make_shared<X11WindowSource>(); }

std::shared_ptr<ScreenGrabber> makeScreenGrabber() { return std::make_shared<X11ScreenGrabber>(); }

std::unique_ptr<ClickTap> makeClickTap() { return std::make_unique<X11ClickTap>(); }

} // namespace zova::x11
