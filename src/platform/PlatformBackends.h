#pragma once

#include "platform/CapabilityProbe.h"
#include "platform/CaptureBackend.h"
#include "platform/ClickTap.h"
#include "platform/CompositingCheck.h"
#include "platform/WindowOperations.h"

#include <functional>
#include <memory>

namespace zova {

// Back ends of their own for a worker thread that takes window previews (an
// X11 back end holds a connection that one thread uses at a time).
struct PreviewBackends {
    std::unique_ptr<ScreenGrabber> screens;
    std::unique_ptr<WindowIconSource> icons;
};
using PreviewBackendsFactory = std::function<PreviewBackends()>;

// The session's back ends, chosen once at the application root (or by a test)
// and handed to whatever needs one of them. Every member is set.
struct PlatformBackends {
    std::shared_ptr<WindowSource> windows;
    std::shared_ptr<ScreenGrabber> screens;
    // Makes a new click listener each time it is called.
    ClickTapFactory clickTaps;
    std::shared_ptr<WindowOperations> windowOperations;
    std::shared_ptr<CapabilityProbe> capabilities;
    std::shared_ptr<CompositingCheck> compositing;
    // Makes a new set each time it is called, on the thread that will use it.
    PreviewBackendsFactory previews;
};

} // namespace zova
