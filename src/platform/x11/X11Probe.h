#pragma once

#include "platform/CapabilityProbe.h"

namespace zova::x11 {

// Probes the session: Composite 0.2 or later on an X display lets it capture,
// XInput 2.1 or later lets it listen. The answer is cached process-wide;
// `fresh` probes again.
SessionCapabilities sessionCapabilities(bool fresh = false);

} // namespace zova::x11
