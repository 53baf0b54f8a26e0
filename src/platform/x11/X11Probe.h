#pragma once

namespace zova::x11 {

struct SessionCapabilities {
    bool canCaptureScreen = false; // an X display with Composite 0.2+
    bool canListenToInput = false; // XInput 2.1 or later
};

// Probes the session; the answer is cached process-wide. `fresh` probes again.
SessionCapabilities sessionCapabilities(bool fresh = false);

} // namespace zova::x11
