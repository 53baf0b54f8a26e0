#pragma once

#include "app/PermissionProbe.h"

#include <memory>

namespace zova {

class PermissionsService;

// The session probes of the recording engine behind the shell's probe interface.
class EnginePermissionProbe : public PermissionProbe {
public:
    EnginePermissionProbe();
    ~EnginePermissionProbe() override;
    bool screenRecordingAvailable() const override;
    bool inputMonitoringAvailable() const override;

private:
    std::unique_ptr<PermissionsService> m_service;
};

} // namespace zova
