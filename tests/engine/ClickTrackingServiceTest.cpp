#include "LogCapture.h"

#include "engine/ClickTrackingService.h"
#include "support/TestSupport.h"

#include <QPointF>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <thread>

using namespace zova;

namespace {

// A tap driven by the test; presses arrive from a thread of their own, as the
// real tap's do.
struct FakeTapState {
    int created = 0;
    int started = 0;
    int reenabled = 0;
    bool refuse = false;
    std::atomic<bool> enabled { false };
    ClickTap::PressHandler onPress;
    ClickTap::LossHandler onLoss;
};

class FakeTap final : public ClickTap {
public:
    explicit FakeTap(FakeTapState* state)
        : m_state(state)
    {
        ++state->created;
    }
    bool start(PressHandler onPress, LossHandler onLoss) override
    {
        if (m_state->refuse)
            return false;
        ++m_state->started;
        m_state->onPress = std::move(onPress);
        m_state->onLoss = std::move(onLoss);
        m_state->enabled = true;
        return true;
    }
    void stop() override { m_state->enabled = false; }
    bool isEnabled() const override { return m_state->enabled; }
    bool reenable() override
    {
        ++m_state->reenabled;
        m_state->enabled = true;
        return true;
    }

private:
    FakeTapState* m_state;
};

struct Fixture : ::testing::Test {
    FakeTapState tap;
    ClickTrackingService clicks { [this] { return std::make_unique<FakeTap>(&tap); } };

    void pressFromTapThread(double x, double y, unsigned button)
    {
        std::thread([&] { tap.onPress({ x, y, button, QDateTime::currentDateTime() }); }).join();
    }
};

} // namespace

TEST_F(Fixture, StartTwiceMakesOneTapAndStopAlwaysLogs)
{
    LogCapture log("zova.engine.clicks");
    QSignalSpy tracking(&clicks, &ClickTrackingService::isTrackingChanged);
    EXPECT_TRUE(clicks.start());
    EXPECT_TRUE(clicks.start());
    EXPECT_EQ(tap.created, 1);
    EXPECT_TRUE(clicks.isTracking());
    EXPECT_EQ(log.lines(), QStringList { "Click tap started" });
    clicks.stop();
    clicks.stop();
    EXPECT_FALSE(clicks.isTracking());
    EXPECT_EQ(tracking.count(), 2);
    EXPECT_EQ(log.lines(), (QStringList { "Click tap started", "Click tap stopped", "Click tap stopped" }));

    EXPECT_TRUE(clicks.start());
    EXPECT_EQ(tap.created, 2) << "each start makes a new tap";
}

TEST_F(Fixture, RefusedTapReportsInputMonitoringAndStaysIdle)
{
    LogCapture log("zova.engine.clicks");
    tap.refuse = true;
    auto result = clicks.start();
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), ClickTrackingService::StartFailure::InputMonitoringNotGranted);
    EXPECT_EQ(ClickTrackingService::startFailureMessage(result.error()),
        "Input Monitoring is not available: click tracking needs an X11 session with XInput 2.1 or later.");
    EXPECT_FALSE(clicks.isTracking());
    EXPECT_TRUE(log.lines().isEmpty());
    test::waitUntil([] { return false; }, 1300);
    EXPECT_EQ(clicks.tapReenableCount(), 0) << "no health check runs without a tap";
}

TEST_F(Fixture, ClicksReachTheHandlerLaterInOrderAndSurviveRestart)
{
    LogCapture log("zova.engine.clicks");
    QList<QPointF> seen;
    QSignalSpy handlerSet(&clicks, &ClickTrackingService::onClickChanged);
    clicks.setOnClick([&](const ClickTrackingService::ClickEvent& e) { seen.append({ e.x, e.y }); });
    clicks.setOnClick(clicks.onClick());
    EXPECT_EQ(handlerSet.count(), 2) << "setting a handler always notifies";
    ASSERT_TRUE(clicks.start());

    pressFromTapThread(300, 400, 1);
    pressFromTapThread(0, 0, 3);
    EXPECT_TRUE(seen.isEmpty()) << "the handler runs on the GUI thread, after the tap returned";
    ASSERT_TRUE(test::waitUntil([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, (QList<QPointF> { { 300, 400 }, { 0, 0 } }));
    ASSERT_TRUE(clicks.lastClick());
    EXPECT_EQ(clicks.lastClick()->x, 0);
    EXPECT_TRUE(log.lines().contains("Click received at (300.000000, 400.000000) type=1"));
    EXPECT_TRUE(log.lines().contains("Click received at (0.000000, 0.000000) type=3"));

    clicks.stop();
    ASSERT_TRUE(clicks.start());
    EXPECT_EQ(clicks.lastClick()->y, 0);
    pressFromTapThread(5, 6, 1);
    ASSERT_TRUE(test::waitUntil([&] { return seen.size() == 3; }));
}

TEST_F(Fixture, LostTapIsReenabledAndCounted)
{
    LogCapture log("zova.engine.clicks");
    ASSERT_TRUE(clicks.start());

    // Lost without notice: the health check finds it within a second.
    tap.enabled = false;
    ASSERT_TRUE(test::waitUntil([&] { return clicks.tapReenableCount() == 1; }));
    EXPECT_TRUE(tap.enabled);
    EXPECT_TRUE(log.lines().contains("Health-check found tap disabled — re-enabled"));

    // Lost with notice from the tap's thread.
    tap.enabled = false;
    std::thread([&] { tap.onLoss(ClickTap::connectionLost); }).join();
    ASSERT_TRUE(test::waitUntil([&] { return clicks.tapReenableCount() == 2; }));
    EXPECT_TRUE(log.lines().contains("Click tap disabled (4294967294) — re-enabled"));
    EXPECT_EQ(tap.reenabled, 2);

    clicks.stop();
    ASSERT_TRUE(clicks.start());
    EXPECT_EQ(clicks.tapReenableCount(), 2) << "never reset";
}
