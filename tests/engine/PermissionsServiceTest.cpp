#include "LogCapture.h"

#include "engine/AppRestarter.h"
#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "support/TestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace zova;

namespace {

// A session whose answers the test sets, and which records how it was asked.
struct FakeSession {
    SessionGrants grants;
    QList<bool> asked; // `fresh` of each call
    PermissionsService::SessionProbe probe()
    {
        return [this](bool fresh) {
            asked << fresh;
            return grants;
        };
    }
};

// A restarter that answers as the test sets and counts its calls.
struct FakeRestarter final : AppRestarter {
    std::optional<QString> answer;
    int calls = 0;
    std::optional<QString> relaunch() override
    {
        ++calls;
        return answer;
    }
};

} // namespace

TEST(PermissionsService, PollsReadTheProbeRequestsAskAfreshAndOnlyChangesNotify)
{
    Settings settings;
    FakeSession session { { true, true }, {} };
    PermissionsService service(settings, session.probe());
    EXPECT_TRUE(service.screenRecording());
    EXPECT_TRUE(service.inputMonitoring());
    EXPECT_EQ(session.asked, QList<bool> { false }) << "the constructor polls";

    QSignalSpy screen(&service, &PermissionsService::screenRecordingChanged);
    QSignalSpy input(&service, &PermissionsService::inputMonitoringChanged);
    service.refreshSync();
    EXPECT_EQ(screen.count() + input.count(), 0) << "unchanged answers notify nobody";
    session.grants = {};
    service.requestScreenRecording();
    EXPECT_FALSE(service.screenRecording());
    EXPECT_FALSE(service.inputMonitoring());
    service.requestAllPermissions();
    EXPECT_EQ(screen.count(), 1);
    EXPECT_EQ(input.count(), 1);
    session.grants.inputMonitoring = true;
    service.requestInputMonitoring();
    EXPECT_FALSE(service.screenRecording());
    EXPECT_TRUE(service.inputMonitoring());
    EXPECT_EQ(session.asked, (QList<bool> { false, false, true, true, true }));

    PermissionsService noProbe(settings, {});
    EXPECT_FALSE(noProbe.screenRecording()) << "no probe grants nothing";
    EXPECT_FALSE(noProbe.inputMonitoring());
}

TEST(PermissionsService, OnboardingFlagIsStoredOnEveryWriteAndNotifiesOnChange)
{
    auto* store = new MemorySettingsStore;
    Settings settings { std::unique_ptr<SettingsStore>(store) };
    PermissionsService service(settings, {});
    EXPECT_FALSE(service.hasCompletedOnboarding());
    EXPECT_FALSE(store->value(settings::onboardingCompleted.key).isValid()) << "reading does not write the key";

    QSignalSpy changed(&service, &PermissionsService::hasCompletedOnboardingChanged);
    service.setHasCompletedOnboarding(true);
    *store = MemorySettingsStore();
    service.setHasCompletedOnboarding(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(store->value(settings::onboardingCompleted.key), QVariant(true)) << "an unchanged value is written too";
    EXPECT_TRUE(PermissionsService(settings, {}).hasCompletedOnboarding());
}

TEST(PermissionsService, RestartGoesThroughTheRestarterAndAFailureIsLoggedNotFatal)
{
    LogCapture log("zova.engine.capture");
    FakeRestarter restarter;
    restarter.answer = QStringLiteral("could not start /nowhere/zova: it is not an executable file");
    Settings settings;
    PermissionsService service(settings, {}, &restarter);
    service.restartApp();
    EXPECT_EQ(restarter.calls, 1);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().contains("Relaunch")) << log.lines().first().toStdString();
    EXPECT_TRUE(log.lines().first().contains("not an executable file")) << log.lines().first().toStdString();

    restarter.answer.reset();
    service.restartApp();
    EXPECT_EQ(restarter.calls, 2);
    EXPECT_EQ(log.lines().size(), 1) << "a relaunch under way logs nothing";

    PermissionsService withoutRestarter(settings, {});
    withoutRestarter.restartApp();
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().last().contains("Relaunch")) << log.lines().last().toStdString();
}
