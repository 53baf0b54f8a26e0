#include "FakeFeed.h"
#include "support/FakeBackends.h"
#include "support/TestSupport.h"

#include "recording_ui/RecordingOutlineOverlayView.h"
#include "recording_ui/RecordingOverlayController.h"

#include <QPropertyAnimation>

#include <gtest/gtest.h>

using namespace zova;

namespace {

TEST(RecordingOverlay, PanelFrameIsTheTargetFrame)
{
    EXPECT_EQ(RecordingOverlayController::panelFrame(QRectF(100, 50, 800, 600)), QRect(100, 50, 800, 600));
    EXPECT_EQ(RecordingOverlayController::panelFrame(QRectF(10.4, 20.6, 300, 200)), QRect(10, 21, 300, 200));
}

// The follow timer's ticks and the move are taken by hand: what the outline does
// follows from the ticks, not from how fast the machine runs.
TEST(RecordingOverlay, EachTickPlacesMovesOrHidesTheOutline)
{
    FakeFeed feed;
    feed.frame = QRectF(100, 50, 800, 600);
    RecordingOverlayController controller(std::make_shared<FakeCompositingCheck>());
    controller.present(feed);
    RecordingOutlineOverlayView* panel = controller.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(controller.isFollowing());
    EXPECT_EQ(panel->geometry(), QRect(100, 50, 800, 600)) << "placed at once";
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->cornerRadius(), 12);
    EXPECT_EQ(controller.moveAnimation(), nullptr) << "the first placement is not animated";

    controller.follow();
    EXPECT_EQ(panel->geometry(), QRect(100, 50, 800, 600)) << "a target that does not move";
    EXPECT_EQ(controller.moveAnimation(), nullptr);

    feed.frame = QRectF(400, 300, 800, 600);
    controller.follow();
    QPropertyAnimation* move = controller.moveAnimation();
    ASSERT_NE(move, nullptr) << "a moved target is followed by a move";
    EXPECT_EQ(move->duration(), RecordingOverlayController::moveDurationMs);
    move->pause();
    const struct {
        int ms;
        QRect geometry;
    } steps[] = {
        { 0, QRect(100, 50, 800, 600) },
        { RecordingOverlayController::moveDurationMs / 2, QRect(250, 175, 800, 600) },
        { RecordingOverlayController::moveDurationMs, QRect(400, 300, 800, 600) },
    };
    for (const auto& step : steps) {
        move->setCurrentTime(step.ms);
        EXPECT_EQ(panel->geometry(), step.geometry) << step.ms << " ms into the move";
    }

    feed.frame.reset();
    controller.follow();
    EXPECT_FALSE(panel->isVisible()) << "no frame: hidden at the tick";
    feed.frame = QRectF(10, 10, 300, 200);
    controller.follow();
    EXPECT_TRUE(panel->isVisible()) << "a frame again: shown at the tick";
    EXPECT_EQ(panel->geometry(), QRect(10, 10, 300, 200)) << "there at once, not moved to";
}

TEST(RecordingOverlay, ScreenTargetSquarePulseAndDismiss)
{
    FakeFeed feed;
    feed.isDisplay = true;
    feed.frame = QRectF(0, 0, 1920, 1080);
    RecordingOverlayController controller(std::make_shared<FakeCompositingCheck>());
    controller.dismiss(); // before any present: nothing happens
    controller.present(feed);
    QPointer<RecordingOutlineOverlayView> panel = controller.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->cornerRadius(), 0);
    EXPECT_TRUE(panel->isPulsing());
    panel->pulse().pause();
    const struct {
        int ms;
        qreal opacity;
    } pulse[] = { { 0, 1.0 }, { 500, 0.825 }, { 1000, 0.65 }, { 1500, 0.825 }, { 2000, 1.0 }, { 3000, 0.65 } };
    for (const auto& at : pulse) {
        panel->pulse().setCurrentTime(at.ms);
        EXPECT_NEAR(panel->outlineOpacity(), at.opacity, 1e-6) << at.ms << " ms into the pulse";
    }

    controller.present(feed);
    ASSERT_TRUE(test::waitUntil([&] { return panel.isNull(); }));
    ASSERT_NE(controller.panel(), nullptr) << "presenting again replaces the outline";

    QPointer<RecordingOutlineOverlayView> second = controller.panel();
    controller.dismiss();
    controller.dismiss();
    EXPECT_FALSE(controller.isFollowing());
    EXPECT_EQ(controller.panel(), nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return second.isNull(); }));
}

TEST(RecordingOverlay, ShapedToARingWithoutCompositor)
{
    RecordingOutlineOverlayView view(false, false);
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(view.isShapedToRing());
    const QRegion mask = view.mask();
    EXPECT_TRUE(mask.contains(QPoint(200, 0)));
    EXPECT_TRUE(mask.contains(QPoint(0, 150)));
    EXPECT_TRUE(mask.contains(QPoint(399, 150)));
    EXPECT_FALSE(mask.contains(QPoint(200, 150))) << "the interior is not part of the window";
    EXPECT_FALSE(mask.contains(QPoint(10, 150)));
    EXPECT_FALSE(mask.contains(QPoint(0, 0))) << "the rounded corner is cut off";
}

} // namespace
