#include "app/EnginePermissionProbe.h"

#include "engine/PermissionsService.h"

namespace zova {

EnginePermissionProbe::EnginePermissionProbe()
    : m_service(std::make_unique<PermissionsService>())
{
}

EnginePermissionProbe::~EnginePermissionProbe() = default;

bool EnginePermissionProbe::screenRecordingAvailable() const
{
    m_service->refreshSync();
    return m_service->screenRecording();
}

bool EnginePermissionProbe::inputMonitoringAvailable() const
{
    m_service->refreshSync();
    return m_service->inputMonitoring();
}

} // namespace zova
