#pragma once

namespace zova {

// What the session offers for recording. The engine's probes plug in here; until
// then the default reports both as available.
class PermissionProbe {
public:
    virtual ~PermissionProbe() = default;
    virtual bool screenRecordingAvailable() const { return true; }
    virtual bool inputMonitoringAvailable() const { return true; }
};

} // namespace zova
