#include "app/PermissionFlags.h"

#include "app/PermissionProbe.h"
#include "app/SettingsKeys.h"

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
    if (value == m_screenRecording)
        return;
    m_screenRecording = value;
    emit screenRecordingChanged(value);
}

void PermissionFlags::setInputMonitoring(bool value)
{
    if (value == m_inputMonitoring)
        return;
    m_inputMonitoring = value;
    emit inputMonitoringChanged(value);
}

void PermissionFlags::setHasCompletedOnboarding(bool value)
{
    QSettings().setValue(SettingsKeys::onboardingCompleted, value);
    if (value == m_hasCompletedOnboarding)
        return;
    m_hasCompletedOnboarding = value;
    emit hasCompletedOnboardingChanged(value);
}

void PermissionFlags::refreshSync()
{
    setInputMonitoring(m_probe->inputMonitoringAvailable());
    setScreenRecording(m_probe->screenRecordingAvailable());
}

} // namespace zova
