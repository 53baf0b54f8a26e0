#include "FakeFeed.h"
#include "support/FakeBackends.h"
#include "support/TestSupport.h"

#include "recording_ui/RecordingHUD.h"
#include "recording_ui/RecordingHUDController.h"
#include "style/CircleButton.h"
#include "style/Shapes.h"
#include "style/ZOVAColor.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zova;
using Phase = RecordingFeed::Phase;

namespace {

TEST(RecordingHUD, TimeLabel)
{
    const std::pair<double, const char*> rows[]
        = { { 0, "00:00" }, { 59.9, "00:59" }, { 61, "01:01" }, { 3725, "62:05" }, { 6000, "100:00" },
              { -0.5, "00:00" }, { -75, "00:00" }, { std::numeric_limits<double>::quiet_NaN(), "00:00" } };
    for (auto [seconds, text] : rows)
        EXPECT_EQ(RecordingHUD::timeLabel(seconds), text) << seconds;
}

TEST(RecordingHUD, StepsLabel)
{
    EXPECT_EQ(RecordingHUD::stepsLabel(0, true), "0 steps");
    EXPECT_EQ(RecordingHUD::stepsLabel(1, true), "1 step");
    EXPECT_EQ(RecordingHUD::stepsLabel(2, true), "2 steps");
    for (int count : { 0, 1, 7 })
        EXPECT_EQ(RecordingHUD::stepsLabel(count, false), "Clicks not tracking");
}

struct StateCase {
    const char* name;
    Phase phase;
    bool tracking;
    RecordingHUD::StatusMark mark;
    qreal ring;
    const char* symbol;
    const char* pauseTip;
    bool amberSteps;
};

class HudState : public testing::TestWithParam<StateCase> { };

TEST_P(HudState, MarkButtonAndStepsLine)
{
    const StateCase& c = GetParam();
    FakeFeed feed;
    feed.setRecording(Phase::Armed, 0, 3, true);
    RecordingHUD hud(feed, {}, {}, false);
    feed.setRecording(c.phase, 12.4, 3, c.tracking);
    EXPECT_EQ(hud.statusMark(), c.mark);
    EXPECT_EQ(hud.ringOpacity(), c.ring);
    EXPECT_EQ(hud.pauseButton()->symbol(), c.symbol);
    EXPECT_EQ(hud.pauseButton()->toolTip(), c.pauseTip);
    EXPECT_EQ(hud.timeText(), "00:12");
    EXPECT_EQ(hud.stepsText(), c.tracking ? "3 steps" : "Clicks not tracking");
    EXPECT_EQ(hud.stepsColor(), c.amberSteps ? ZOVAColor::amber() : Shapes::withAlpha(Qt::white, 0.65));
    EXPECT_EQ(hud.statusToolTip(),
        c.mark == RecordingHUD::StatusMark::RecordingDot ? QStringLiteral("Recording in progress")
                                                         : RecordingHUD::trackingWarningToolTip());
}

using Mark = RecordingHUD::StatusMark;
INSTANTIATE_TEST_SUITE_P(Hud, HudState,
    testing::Values(StateCase { "ArmedTracking", Phase::Armed, true, Mark::RecordingDot, 1.0, "pause.fill",
                        "Pause recording", false },
        StateCase {
            "PausedTracking", Phase::Paused, true, Mark::RecordingDot, 0.2, "play.fill", "Resume recording", false },
        StateCase {
            "PausedNotTracking", Phase::Paused, false, Mark::RecordingDot, 0.2, "play.fill", "Resume recording", true },
        StateCase { "ArmedNotTracking", Phase::Armed, false, Mark::TrackingWarning, 1.0, "pause.fill",
            "Pause recording", true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordingHUD, ClosedWindowIsSaidInPlaceOfTheCount)
{
    FakeFeed feed;
    feed.setRecording(Phase::Armed, 5, 2, true);
    RecordingHUD hud(feed, {}, {}, false);
    EXPECT_EQ(hud.stepsText(), "2 steps");
    feed.closed = true;
    feed.setRecording(Phase::Armed, 6, 2, true);
    EXPECT_EQ(hud.stepsText(), "Window closed");
    EXPECT_EQ(hud.stepsColor(), ZOVAColor::amber());
    EXPECT_EQ(hud.findChild<QWidget*>(QStringLiteral("stepsLabel"))->toolTip(),
        "The recorded window was closed. Stop to keep the 2 steps recorded so far.");
    EXPECT_TRUE(hud.stopButton()->isEnabled()) << "the recording can still be stopped";
}

TEST(RecordingHUD, StopShadowReachesPastTheButtonSquare)
{
    FakeFeed feed;
    feed.setRecording(Phase::Armed, 0, 0, true);
    RecordingHUD hud(feed, {}, {}, false);
    hud.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hud));
    const QImage shot = hud.grab().toImage();
    const QRect stop = hud.stopButton()->geometry();
    // Magenta tints red over green; the plate itself is grey.
    const auto tint = [&](QPoint p) {
        const QRgb c = shot.pixel(p * shot.devicePixelRatio());
        return qRed(c) - qGreen(c);
    };
    const int y = stop.bottom() + 4;
    EXPECT_GT(tint({ stop.center().x(), y }), 8) << "the shadow under the stop button is cut at its square";
    EXPECT_GT(tint({ stop.right() + 3, stop.center().y() }), 4) << "nor at its right edge";
    EXPECT_LT(std::abs(tint({ stop.left() - 110, y })), 4) << "the plate under the clock is not tinted";
}

TEST(RecordingHUD, PauseResumeAndButtonRouting)
{
    FakeFeed feed;
    feed.setRecording(Phase::Armed, 0, 0, true);
    int stops = 0, cancels = 0;
    RecordingHUDController controller(std::make_shared<FakeCompositingCheck>());
    controller.present(
        feed, [&] { ++stops; }, [&] { ++cancels; });
    RecordingHUD* hud = controller.panel();
    ASSERT_NE(hud, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hud));
    EXPECT_EQ(hud->size(), RecordingHUD::panelSize);
    EXPECT_EQ(hud->stopButton()->toolTip(), "Stop and save recording");
    EXPECT_EQ(hud->cancelButton()->toolTip(), "Cancel \u2014 discard this recording");

    QTest::mouseClick(hud->pauseButton(), Qt::LeftButton);
    EXPECT_EQ(feed.pauseCalls, 1);
    EXPECT_EQ(hud->pauseButton()->symbol(), "play.fill");
    QTest::mouseClick(hud->pauseButton(), Qt::LeftButton);
    EXPECT_EQ(feed.resumeCalls, 1);
    EXPECT_EQ(hud->pauseButton()->symbol(), "pause.fill");

    for (Phase other : { Phase::Idle, Phase::Picking, Phase::Finishing }) {
        feed.setRecording(other, 0, 0, true);
        QTest::mouseClick(hud->pauseButton(), Qt::LeftButton);
    }
    EXPECT_EQ(feed.pauseCalls, 1);
    EXPECT_EQ(feed.resumeCalls, 1);

    QTest::mouseClick(hud->stopButton(), Qt::LeftButton);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(cancels, 0);
    QTest::mouseClick(hud->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(cancels, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.panel(), hud) << "the panel stays until the owner closes it";
    EXPECT_TRUE(hud->isVisible());

    // The clock and the count follow the service.
    feed.setRecording(Phase::Armed, 61.2, 1, true);
    EXPECT_EQ(hud->timeText(), "01:01");
    EXPECT_EQ(hud->stepsText(), "1 step");
}

TEST(RecordingHUDController, PanelOrigin)
{
    EXPECT_EQ(RecordingHUDController::panelOrigin(QRect(0, 0, 1512, 944)), QPoint(631, 24));
    EXPECT_EQ(RecordingHUDController::panelOrigin(QRect(0, 30, 1920, 1050)), QPoint(835, 54));
    EXPECT_EQ(RecordingHUDController::panelOrigin(QRect(1920, 0, 1280, 1024)), QPoint(2435, 24));
    EXPECT_EQ(RecordingHUDController::panelOrigin(std::nullopt), QPoint(0, 0));
}

TEST(RecordingHUDController, PresentTwiceLeavesOnePanelAndCloseIsSafe)
{
    FakeFeed feed;
    feed.setRecording(Phase::Armed, 0, 0, true);
    RecordingHUDController controller(std::make_shared<FakeCompositingCheck>());
    controller.close();
    controller.present(feed, {}, {});
    QPointer<RecordingHUD> first = controller.panel();
    controller.present(feed, {}, {});
    ASSERT_TRUE(test::waitUntil([&] { return first.isNull(); }));
    ASSERT_NE(controller.panel(), nullptr);
    EXPECT_TRUE(controller.panel()->isVisible());
    QPointer<RecordingHUD> second = controller.panel();
    controller.close();
    controller.close();
    EXPECT_EQ(controller.panel(), nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return second.isNull(); }));
}

} // namespace
