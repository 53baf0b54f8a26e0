#include "FakeFeed.h"
#include "support/FakeBackends.h"
#include "support/TestSupport.h"

#include "recording_ui/RecordingOutlineOverlayView.h"
#include "recording_ui/RecordingOverlayController.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace zova;

namespace {

TEST(RecordingOverlay, PanelFrameIsTheTargetFrame)
{
    EXPECT_EQ(RecordingOverlayController::panelFrame(QRectF(100, 50, 800, 600)), QRect(100, 50, 800, 600));
    EXPECT_EQ(RecordingOverlayController::panelFrame(QRectF(10.4, 20.6, 300, 200)), QRect(10, 21, 300, 200));
}

TEST(RecordingOverlay, FirstPlacementImmediateLaterMovesAnimated)
{
    FakeFeed feed;
    feed.frame = QRectF(100, 50, 800, 600);
    RecordingOverlayController controller(std::make_shared<FakeCompositingCheck>());
    controller.present(feed);
    RecordingOutlineOverlayView* panel = controller.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(controller.isFollowing());
    EXPECT_EQ(panel->geometry(), QRect(100, 50, 800, 600));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->cornerRadius(), 12);

    // A target that does not move leaves the frame alone.
    QTest::qWait(250);
    EXPECT_EQ(panel->geometry(), QRect(100, 50, 800, 600));

    feed.frame = QRectF(400, 300, 800, 600);
    ASSERT_TRUE(test::waitUntil([&] { return panel->geometry() != QRect(100, 50, 800, 600); }, 500));
    EXPECT_NE(panel->geometry(), QRect(400, 300, 800, 600)) << "the move is animated";
    ASSERT_TRUE(test::waitUntil([&] { return panel->geometry() == QRect(400, 300, 800, 600); }, 400));

    // No frame: hidden at once; a frame again: there at once.
    feed.frame.reset();
    ASSERT_TRUE(test::waitUntil([&] { return !panel->isVisible(); }, 300));
    feed.frame = QRectF(10, 10, 300, 200);
    ASSERT_TRUE(test::waitUntil([&] { return panel->isVisible(); }, 300));
    EXPECT_EQ(panel->geometry(), QRect(10, 10, 300, 200));
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
    ASSERT_TRUE(test::waitUntil([&] { return panel->outlineOpacity() < 0.9; }, 1500));
    EXPECT_GE(panel->outlineOpacity(), 0.65);

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
