#include "engine/PermissionsService.h"

#include "base/NotifyingProperty.h"
#include "engine/AppRestarter.h"
#include "engine/EngineLog.h"
#include "model/Settings.h"

namespace zova {

PermissionsService::PermissionsService(Settings& settings, SessionProbe probe, AppRestarter* restarter, QObject* parent)
    : QObject(parent)
    , m_settings(&settings)
    , m_probe(std::move(probe))
    , m_restarter(restarter)
    , m_hasCompletedOnboarding(settings.value(settings::onboardingCompleted))
{
    refreshSync();
}

void PermissionsService::setHasCompletedOnboarding(bool value)
{
    if (m_settings)
        m_settings->setValue(settings::onboardingCompleted, value);
    setNotifying(this, m_hasCompletedOnboarding, value, &PermissionsService::hasCompletedOnboardingChanged);
}

void PermissionsService::store(bool fresh)
{
    const SessionGrants grants = m_probe ? m_probe(fresh) : SessionGrants {};
    setNotifying(this, m_inputMonitoring, grants.inputMonitoring, &PermissionsService::inputMonitoringChanged);
    setNotifying(this, m_screenRecording, grants.screenRecording, &PermissionsService::screenRecordingChanged);
}

void PermissionsService::refreshSync() { store(false); }

void PermissionsService::requestAllPermissions() { store(true); }

void PermissionsService::requestScreenRecording() { store(true); }

void PermissionsService::requestInputMonitoring() { store(true); }

void PermissionsService::openScreenRecordingSettings() { }

void PermissionsService::openInputMonitoringSettings() { }

void PermissionsService::restartApp()
{
    const std::optional<QString> failed = m_restarter
        ? m_restarter->relaunch()
        : std::optional<QString>(QStringLiteral("no way to relaunch is set up"));
    if (failed)
        qCWarning(lcCapture).noquote()
            << QStringLiteral("Relaunch failed; this instance keeps running: %1").arg(*failed);
}

} // namespace zova
