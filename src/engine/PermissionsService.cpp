#include "engine/PermissionsService.h"

#include "base/NotifyingProperty.h"
#include "engine/EngineLog.h"
#include "platform/x11/X11Probe.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>

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

PermissionsService::PermissionsService(QObject* parent)
    : QObject(parent)
{
    m_hasCompletedOnboarding = QSettings().value(QLatin1String(onboardingKey), false).toBool();
    refreshSync();
}

void PermissionsService::setHasCompletedOnboarding(bool value)
{
    QSettings().setValue(QLatin1String(onboardingKey), value);
    setNotifying(this, m_hasCompletedOnboarding, value, &PermissionsService::hasCompletedOnboardingChanged);
}

void PermissionsService::store(bool fresh)
{
    const auto caps = x11::sessionCapabilities(fresh);
    if (m_inputMonitoring != caps.canListenToInput) {
        m_inputMonitoring = caps.canListenToInput;
        emit inputMonitoringChanged();
    }
    if (m_screenRecording != caps.canCaptureScreen) {
        m_screenRecording = caps.canCaptureScreen;
        emit screenRecordingChanged();
    }
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
