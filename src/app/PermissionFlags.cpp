#include "app/PermissionFlags.h"

#include "app/PermissionProbe.h"
#include "app/SettingsKeys.h"
#include "base/NotifyingProperty.h"

#include <QSettings>

namespace zova {

PermissionFlags::PermissionFlags(std::shared_ptr<const PermissionProbe> probe, QObject* parent)
    : QObject(parent)
    , m_probe(probe ? std::move(probe) : std::make_shared<const PermissionProbe>())
{
    m_hasCompletedOnboarding = QSettings().value(SettingsKeys::onboardingCompleted, false).toBool();
}

void PermissionFlags::setScreenRecording(bool value)
{
    setNotifying(this, m_screenRecording, value, &PermissionFlags::screenRecordingChanged);
}

void PermissionFlags::setInputMonitoring(bool value)
{
    setNotifying(this, m_inputMonitoring, value, &PermissionFlags::inputMonitoringChanged);
}

void PermissionFlags::setHasCompletedOnboarding(bool value)
{
    QSettings().setValue(SettingsKeys::onboardingCompleted, value);
    setNotifying(this, m_hasCompletedOnboarding, value, &PermissionFlags::hasCompletedOnboardingChanged);
}

void PermissionFlags::refreshSync()
{
    setInputMonitoring(m_probe->inputMonitoringAvailable());
    setScreenRecording(m_probe->screenRecordingAvailable());
}

} // namespace zova
