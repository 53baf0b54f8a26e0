#include "LogCapture.h"

#include "engine/PermissionsService.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace zova;

TEST(PermissionsService, ProbesTheX11SessionAndAWaylandOneWithoutX11)
{
    PermissionsService service;
    EXPECT_TRUE(service.screenRecording());
    EXPECT_TRUE(service.inputMonitoring());

    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    QSignalSpy screen(&service, &PermissionsService::screenRecordingChanged);
    QSignalSpy input(&service, &PermissionsService::inputMonitoringChanged);
    service.refreshSync();
    EXPECT_TRUE(service.screenRecording()) << "polling reads the cached probe";
    service.requestScreenRecording();
    EXPECT_FALSE(service.screenRecording());
    EXPECT_FALSE(service.inputMonitoring());
    service.requestAllPermissions();
    EXPECT_EQ(screen.count(), 1);
    EXPECT_EQ(input.count(), 1);
    PermissionsService another;
    EXPECT_FALSE(another.screenRecording());

    qputenv("DISPLAY", display);
    qunsetenv("WAYLAND_DISPLAY");
    service.requestInputMonitoring();
    EXPECT_TRUE(service.screenRecording());
    EXPECT_TRUE(service.inputMonitoring());
}

TEST(PermissionsService, OnboardingFlagIsStoredOnEveryWriteAndNotifiesOnChange)
{
    QSettings().remove(PermissionsService::onboardingKey);
    PermissionsService service;
    EXPECT_FALSE(service.hasCompletedOnboarding());
    EXPECT_FALSE(QSettings().contains(PermissionsService::onboardingKey)) << "reading does not write the key";

    QSignalSpy changed(&service, &PermissionsService::hasCompletedOnboardingChanged);
    service.setHasCompletedOnboarding(true);
    QSettings().remove(PermissionsService::onboardingKey);
    service.setHasCompletedOnboarding(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(QSettings().value(PermissionsService::onboardingKey).toBool());
    EXPECT_TRUE(PermissionsService().hasCompletedOnboarding());
}

TEST(PermissionsService, RestartQuitsOnlyAfterTheNewInstanceLaunched)
{
    LogCapture log("zova.engine.capture");
    QString launched;
    int terminated = 0;
    bool launchWorks = false;
    PermissionsService::setRestartHooks({ [&](const QString& program, const QStringList&) {
                                             launched = program;
                                             return launchWorks;
                                         },
        [&] { ++terminated; } });
    PermissionsService service;
    service.restartApp();
    EXPECT_EQ(launched, QCoreApplication::applicationFilePath());
    EXPECT_EQ(terminated, 0);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().contains("Relaunch")) << log.lines().first().toStdString();

    launchWorks = true;
    service.restartApp();
    EXPECT_EQ(terminated, 1);
    PermissionsService::setRestartHooks({});
}
