#include "platform/x11/X11Probe.h"
#include "engine/CaptureService.h"
#include "engine/ClickTrackingService.h"
#include "engine/PermissionsService.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace zova;

namespace {

constexpr const char* childFlag = "ZOVA_WAYLAND_PROBE_CHILD";

} // namespace

TEST(X11Probe, BothCapabilitiesHoldUnderThisX11Session)
{
    if (qEnvironmentVariableIsSet(childFlag))
        GTEST_SKIP() << "runs in the parent only";
    const auto caps = x11::sessionCapabilities(true);
    EXPECT_TRUE(caps.canCaptureScreen);
    EXPECT_TRUE(caps.canListenToInput);
    PermissionsService permissions;
    EXPECT_TRUE(permissions.screenRecording());
    EXPECT_TRUE(permissions.inputMonitoring());
}

// A process started in a Wayland session without X11 access sees neither
// capability, and nothing that needs X11 pretends to work.
TEST(X11Probe, AWaylandSessionWithoutX11HasNeither)
{
    if (qEnvironmentVariableIsSet(childFlag)) {
        PermissionsService permissions;
        EXPECT_FALSE(permissions.screenRecording());
        EXPECT_FALSE(permissions.inputMonitoring());
        permissions.requestAllPermissions();
        EXPECT_FALSE(permissions.screenRecording());
        EXPECT_FALSE(permissions.inputMonitoring());

        ClickTrackingService clicks;
        const auto started = clicks.start();
        ASSERT_FALSE(started);
        EXPECT_EQ(started.error(), ClickTrackingService::StartFailure::InputMonitoringNotGranted);
        EXPECT_FALSE(clicks.isTracking());

        CaptureService capture;
        const auto windows = capture.listWindows();
        ASSERT_FALSE(windows);
        EXPECT_EQ(windows.error(), CaptureError::NoDisplay);
        EXPECT_FALSE(capture.captureScreenshot(ShareableDisplay { 1, QRectF(0, 0, 100, 100), 100, 100, true }));
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
