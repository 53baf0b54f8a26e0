#pragma once

namespace zova {

// What the session offers for recording.
struct SessionCapabilities {
    bool canCaptureScreen = false; // window and screen pixels can be read
    bool canListenToInput = false; // every mouse-down of the session can be heard

    bool operator==(const SessionCapabilities&) const = default;
};

// Probes the session for its capabilities.
class CapabilityProbe {
public:
    virtual ~CapabilityProbe() = default;
    // The answer of the last probe; `fresh` (or no probe yet) probes again.
    virtual SessionCapabilities capabilities(bool fresh = false) = 0;
};

} // namespace zova
