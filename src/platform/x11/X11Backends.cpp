#include "platform/x11/X11Backends.h"

#include "platform/x11/X11ClickTap.h"
#include "platform/x11/X11Compositing.h"
#include "platform/x11/X11Probe.h"
#include "platform/x11/X11ScreenGrabber.h"
#include "platform/x11/X11WindowIcons.h"
#include "platform/x11/X11WindowOps.h"
#include "platform/x11/X11WindowSource.h"

namespace zova::x11 {

namespace {

class X11WindowOperations final : public WindowOperations {
public:
    bool activateWindow(WindowID window) override { return x11::activateWindow(window); }
    bool minimizeWindow(WindowID window) override { return x11::minimizeWindow(window); }
    bool restoreWindow(WindowID window) override { return x11::restoreWindow(window); }
    bool activateProcess(qint32 processID) override { return x11::activateProcess(processID); }
};

class X11CapabilityProbe final : public CapabilityProbe {
public:
    SessionCapabilities capabilities(bool fresh) override { return sessionCapabilities(fresh); }
};

class X11CompositingCheck final : public CompositingCheck {
public:
    bool compositingManagerRunning() override { return x11::compositingManagerRunning(); }
};

} // namespace

std::shared_ptr<WindowSource> makeWindowSource() { return std::make_shared<X11WindowSource>(); }

std::shared_ptr<ScreenGrabber> makeScreenGrabber() { return std::make_shared<X11ScreenGrabber>(); }

std::unique_ptr<ClickTap> makeClickTap() { return std::make_unique<X11ClickTap>(); }

std::shared_ptr<WindowOperations> makeWindowOperations() { return std::make_shared<X11WindowOperations>(); }

std::shared_ptr<CapabilityProbe> makeCapabilityProbe() { return std::make_shared<X11CapabilityProbe>(); }

std::shared_ptr<CompositingCheck> makeCompositingCheck() { return std::make_shared<X11CompositingCheck>(); }

PreviewBackends makePreviewBackends()
{
    return { std::make_unique<X11ScreenGrabber>(), std::make_unique<X11WindowIcons>() };
}

PlatformBackends makeBackends()
{
    return PlatformBackends {
        makeWindowSource(),
        makeScreenGrabber(),
        &makeClickTap,
        makeWindowOperations(),
        makeCapabilityProbe(),
        makeCompositingCheck(),
        &makePreviewBackends,
    };
}

} // namespace zova::x11
