#pragma once

#include "platform/CapabilityProbe.h"
#include "platform/CaptureBackend.h"
#include "platform/ClickTap.h"
#include "platform/CompositingCheck.h"
#include "platform/WindowOperations.h"

#include <memory>

namespace zova {

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
};

} // namespace zova
