#include "platform/x11/X11Probe.h"
#include "engine/CaptureService.h"
#include "engine/ClickTrackingService.h"
#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "platform/x11/X11Backends.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace zova;

namespace {

constexpr const char* childFlag = "ZOVA_WAYLAND_PROBE_CHILD";

// The permissions as the application makes them: over the X11 session probe.
struct X11Permissions {
    Settings settings;
    PermissionsService service { settings, [](bool fresh) {
                                    const auto caps = x11::sessionCapabilities(fresh);
                                    return SessionGrants { caps.canCaptureScreen, caps.canListenToInput };
                                } };
};

} // namespace

TEST(X11Probe, BothCapabilitiesHoldUnderThisX11Session)
{
    if (qEnvironmentVariableIsSet(childFlag))
        GTEST_SKIP() << "runs in the parent only";
    const auto caps = x11::sessionCapabilities(true);
    EXPECT_TRUE(caps.canCaptureScreen);
    EXPECT_TRUE(caps.canListenToInput);
    X11Permissions x11;
    PermissionsService& permissions = x11.service;
    EXPECT_TRUE(permissions.screenRecording());
    EXPECT_TRUE(permissions.inputMonitoring());
}

// Polling answers from the cached probe; a request probes the session again.
TEST(X11Probe, PollsUseTheCachedProbeAndRequestsProbeAgain)
{
    if (qEnvironmentVariableIsSet(childFlag))
        GTEST_SKIP() << "runs in the parent only";
    X11Permissions x11;
    PermissionsService& service = x11.service;
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
    X11Permissions another;
    EXPECT_FALSE(another.service.screenRecording());

    qputenv("DISPLAY", display);
    qunsetenv("WAYLAND_DISPLAY");
    service.requestInputMonitoring();
    EXPECT_TRUE(service.screenRecording());
    EXPECT_TRUE(service.inputMonitoring());
}

// A process started in a Wayland session without X11 access sees neither
// capability, and nothing that needs X11 pretends to work.
TEST(X11Probe, AWaylandSessionWithoutX11HasNeither)
{
    if (qEnvironmentVariableIsSet(childFlag)) {
        X11Permissions x11;
        PermissionsService& permissions = x11.service;
        EXPECT_FALSE(permissions.screenRecording());
        EXPECT_FALSE(permissions.inputMonitoring());
        permissions.requestAllPermissions();
        EXPECT_FALSE(permissions.screenRecording());
        EXPECT_FALSE(permissions.inputMonitoring());

        ClickTrackingService clicks(&x11::makeClickTap);
        const auto started = clicks.start();
        ASSERT_FALSE(started);
        EXPECT_EQ(started.error(), ClickTrackingService::StartFailure::InputMonitoringNotGranted);
        EXPECT_FALSE(clicks.isTracking());

        CaptureService capture(x11::makeWindowSource(), x11::makeScreenGrabber(), 0);
        const auto windows = capture.listWindows();
        ASSERT_FALSE(windows);
        EXPECT_EQ(windows.error(), CaptureError::NoDisplay);
        EXPECT_FALSE(capture.captureScreenshot(DesktopScreen { 1, QRectF(0, 0, 100, 100), 100, 100, true }));
        return;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QString::fromLatin1(childFlag), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--gtest_filter=X11Probe.AWaylandSessionWithoutX11HasNeither") });
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}
