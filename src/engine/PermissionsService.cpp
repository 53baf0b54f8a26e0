#include "engine/PermissionsService.h"

#include "base/NotifyingProperty.h"
#include "engine/EngineLog.h"
#include "model/Settings.h"

#include <QCoreApplication>
#include <QProcess>

namespace zova {

namespace {

PermissionsService::RestartHooks& hooks()
{
    static PermissionsService::RestartHooks h {
        [](const QString& program, const QStringList& arguments) {
            return QProcess::startDetached(program, arguments);
        },
        [] { QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection); },
    };
    return h;
}

} // namespace

void PermissionsService::setRestartHooks(RestartHooks h) { hooks() = std::move(h); }

PermissionsService::PermissionsService(Settings& settings, SessionProbe probe, QObject* parent)
    : QObject(parent)
    , m_settings(&settings)
    , m_probe(std::move(probe))
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
    const QString program = QCoreApplication::applicationFilePath();
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!hooks().launch || !hooks().launch(program, arguments)) {
        qCWarning(lcCapture).noquote()
            << QStringLiteral("Relaunch of %1 failed; this instance keeps running").arg(program);
        return;
    }
    if (hooks().terminate)
        hooks().terminate();
}

} // namespace zova
