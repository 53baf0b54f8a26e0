#include "FakeFeed.h"
#include "platform/x11/X11Backends.h"
#include "support/FakeBackends.h"
#include "support/TestSupport.h"

#include "recording_ui/RecordingHUD.h"
#include "recording_ui/RecordingHUDController.h"
#include "recording_ui/RecordingOutlineOverlayView.h"
#include "recording_ui/RecordingOverlayController.h"
#include "style/CircleButton.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

// Last: Xlib defines None, Bool and the like.
#include "X11Client.h"

using namespace zova;
using Phase = RecordingFeed::Phase;

namespace {

void pump(int ms) { QTest::qWait(ms); }

bool isGreen(QColor c) { return c.green() > 200 && c.red() < 60 && c.blue() < 60; }

class FloatingWindows : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_NE(client.display(), nullptr);
    }
    X11Client client;
    FakeFeed feed;
};

TEST_F(FloatingWindows, PanelAtTopCentreTakesNoFocusAndStaysAbove)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint origin = RecordingHUDController::panelOrigin(area);
    // Another client's window under the panel, with the keyboard focus.
    const Window other = client.createWindow(QRect(origin.x() - 100, 0, 500, 200), Qt::green, "other client");
    ASSERT_TRUE(test::waitUntil([&] { return client.isViewable(other); }));
    pump(200);
    XSetInputFocus(client.display(), other, RevertToParent, CurrentTime);
    XSync(client.display(), False);
    ASSERT_EQ(client.focus(), other);

    feed.setRecording(Phase::Armed, 5, 1, true);
    RecordingHUDController controller(x11::makeCompositingCheck());
    controller.present(feed, {}, {});
    RecordingHUD* panel = controller.panel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    const Window panelWindow = Window(panel->winId());
    ASSERT_TRUE(test::waitUntil([&] { return client.rootGeometry(panelWindow).topLeft() == origin; }));
    EXPECT_EQ(client.rootGeometry(panelWindow), QRect(origin, RecordingHUD::panelSize));

    // The other window is raised: the panel still covers it.
    XRaiseWindow(client.display(), other);
    XSync(client.display(), False);
    pump(300);
    const QPoint inside = origin + QPoint(60, 28);
    EXPECT_FALSE(isGreen(client.pixel(inside))) << "the panel is drawn above the raised window";

    // A click on the pause button acts, and the focus stays with the other client.
    const QPoint button = panel->pauseButton()->mapToGlobal(panel->pauseButton()->rect().center());
    client.click(button);
    ASSERT_TRUE(test::waitUntil([&] { return feed.pauseCalls == 1; }));
    pump(100);
    EXPECT_EQ(client.focus(), other);
    EXPECT_FALSE(panel->isActiveWindow());
    XDestroyWindow(client.display(), other);
    XSync(client.display(), False);
}

TEST_F(FloatingWindows, OutlineIsClickThroughRingThatFollowsAndHides)
{
    const QRect target(200, 200, 600, 400);
    const Window below = client.createWindow(target, Qt::green, "target");
    ASSERT_TRUE(test::waitUntil([&] { return client.isViewable(below); }));
    pump(200);
    const QRect placed = client.rootGeometry(below);
    feed.frame = QRectF(placed);

    RecordingOverlayController controller(x11::makeCompositingCheck());
    controller.present(feed);
    controller.present(feed);
    RecordingOutlineOverlayView* outline = controller.panel();
    ASSERT_NE(outline, nullptr);
    const Window outlineWindow = Window(outline->winId());
    ASSERT_TRUE(test::waitUntil([&] { return client.isViewable(outlineWindow); }));
    pump(200);
    EXPECT_EQ(client.countViewable(QStringLiteral("Z.O.V.A outline")), 1) << "presenting twice leaves one outline";
    EXPECT_EQ(client.rootGeometry(outlineWindow), placed);

    // Drawn on the edge, the interior left to the target, even without a compositor.
    const QColor edge = client.pixel(placed.topLeft() + QPoint(0, placed.height() / 2));
    EXPECT_GT(edge.red(), 120) << edge.name().toStdString();
    EXPECT_LT(edge.green(), 120) << edge.name().toStdString();
    EXPECT_TRUE(isGreen(client.pixel(placed.center())));
    EXPECT_TRUE(isGreen(client.pixel(placed.topLeft() + QPoint(8, placed.height() / 2))));

    // A click on the stroke reaches the window below.
    XSync(client.display(), False);
    XEvent drop;
    while (XCheckWindowEvent(client.display(), below, ButtonPressMask, &drop)) { }
    client.click(placed.topLeft() + QPoint(1, placed.height() / 2));
    EXPECT_TRUE(client.receivedButtonPress(below, [] { QCoreApplication::processEvents(); }));

    // The target moves: the next tick moves the outline's window there.
    XMoveWindow(client.display(), below, 320, 260);
    XSync(client.display(), False);
    ASSERT_TRUE(test::waitUntil([&] { return client.rootGeometry(below) != placed; }));
    const QRect moved = client.rootGeometry(below);
    feed.frame = QRectF(moved);
    controller.follow();
    ASSERT_NE(controller.moveAnimation(), nullptr);
    controller.moveAnimation()->pause();
    controller.moveAnimation()->setCurrentTime(RecordingOverlayController::moveDurationMs);
    EXPECT_TRUE(test::waitUntil([&] { return client.rootGeometry(outlineWindow) == moved; }));

    // The target frame disappears: the next tick unmaps the outline.
    feed.frame.reset();
    controller.follow();
    EXPECT_TRUE(test::waitUntil([&] { return !client.isViewable(outlineWindow); }));

    controller.dismiss();
    pump(50);
    EXPECT_EQ(client.countViewable(QStringLiteral("Z.O.V.A outline")), 0);
    XDestroyWindow(client.display(), below);
    XSync(client.display(), False);
}

// The outline is translucent exactly when the compositing check says a
// compositing manager blends it, and shaped to its ring otherwise.
TEST_F(FloatingWindows, TranslucencyFollowsTheCompositingCheck)
{
    for (const bool running : { false, true }) {
        auto compositing = std::make_shared<FakeCompositingCheck>();
        compositing->running = running;
        RecordingOverlayController outline(compositing);
        outline.present(feed);
        ASSERT_NE(outline.panel(), nullptr);
        EXPECT_EQ(outline.panel()->isShapedToRing(), !running) << running;
        EXPECT_EQ(outline.panel()->testAttribute(Qt::WA_TranslucentBackground), running) << running;
        outline.dismiss();
    }
}

} // namespace
