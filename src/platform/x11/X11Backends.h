#pragma once

#include "platform/CaptureBackend.h"
#include "platform/ClickTap.h"
#include "platform/PlatformBackends.h"

#include <memory>

namespace zova::x11 {

// The X11 back ends, each on a connection of its own; usable without Xlib headers.
std::shared_ptr<WindowSource> makeWindowSource();
std::shared_ptr<ScreenGrabber> makeScreenGrabber();
std::unique_ptr<ClickTap> makeClickTap();
std::shared_ptr<WindowOperations> makeWindowOperations();
std::shared_ptr<CapabilityProbe> makeCapabilityProbe();
std::shared_ptr<CompositingCheck> makeCompositingCheck();
// A grabber and an icon reader on connections of their own.
PreviewBackends makePreviewBackends();

// All of them.
PlatformBackends makeBackends();

} // namespace zova::x11
