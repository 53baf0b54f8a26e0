#include "WindowHelper.h"
#include "engine/LogCapture.h"

#include "engine/ClickTrackingService.h"
#include "support/TestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

#include "platform/x11/X11Backends.h"
#include "platform/x11/X11Display.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace zova;

void PrintTo(const QPointF& p, std::ostream* os) { *os << "(" << p.x() << ", " << p.y() << ")"; }

namespace {

// Real presses through XTest over a window of another process, heard by the
// real tap.
struct X11ClickTap : ::testing::Test {
    WindowHelper helper { QStringLiteral(ZOVA_X11_HELPER) };
    x11::DisplayPtr xtest = x11::openDisplay();
    ClickTrackingService clicks { &x11::makeClickTap };
    QList<ClickTrackingService::ClickEvent> received;
    QList<QDateTime> deliveredAt;

    void SetUp() override
    {
        ASSERT_TRUE(xtest);
        helper.create(QStringLiteral("50 50 1800 980 808080 title=Canvas"));
        clicks.setOnClick([this](const ClickTrackingService::ClickEvent& e) {
            received.append(e);
            deliveredAt.append(QDateTime::currentDateTime());
        });
        ASSERT_TRUE(clicks.start());
        ASSERT_TRUE(clicks.isTracking());
    }
    void moveTo(int x, int y)
    {
        XTestFakeMotionEvent(xtest.get(), -1, x, y, CurrentTime);
        XSync(xtest.get(), False);
    }
    void button(unsigned number, bool down)
    {
        XTestFakeButtonEvent(xtest.get(), number, down, CurrentTime);
        XSync(xtest.get(), False);
    }
    void click(unsigned number)
    {
        button(number, true);
        button(number, false);
    }
    bool waitForClicks(int count)
    {
        return test::waitUntil([&] { return received.size() >= count; });
    }
    static QPointF at(const ClickTrackingService::ClickEvent& e) { return { e.x, e.y }; }
};

} // namespace

TEST_F(X11ClickTap, LeftAndRightPressesArriveOnceAtThePressPosition)
{
    LogCapture log("zova.engine.clicks");
    const struct {
        unsigned button;
        QPoint position;
    } cases[] = { { 1, { 300, 400 } }, { 3, { 1000, 700 } } };
    for (const auto& c : cases) {
        received.clear();
        log.clear();
        moveTo(c.position.x(), c.position.y());
        click(c.button);
        // The pointer rests until the press is heard; a later press then shows
        // that nothing else came in between.
        ASSERT_TRUE(waitForClicks(1)) << "button " << c.button;
        moveTo(600, 600);
        click(1);
        ASSERT_TRUE(waitForClicks(2)) << "button " << c.button;
        QThread::msleep(50);
        QCoreApplication::processEvents();
        ASSERT_EQ(received.size(), 2) << "button " << c.button;
        EXPECT_EQ(at(received[0]), QPointF(c.position)) << "button " << c.button;
        EXPECT_EQ(at(received[1]), QPointF(600, 600));
        EXPECT_EQ(log.lines().value(0).toStdString(),
            QStringLiteral("Click received at (%1.000000, %2.000000) type=%3")
                .arg(c.position.x())
                .arg(c.position.y())
                .arg(c.button)
                .toStdString());
    }
    ASSERT_TRUE(clicks.lastClick());
    EXPECT_EQ(at(*clicks.lastClick()), QPointF(600, 600));
}

TEST_F(X11ClickTap, OtherButtonsReleasesAndKeysNeverArrive)
{
    moveTo(500, 500);
    for (unsigned other : { 2u, 4u, 5u, 6u, 7u })
        click(other);
    const KeyCode key = XKeysymToKeycode(xtest.get(), XK_a);
    XTestFakeKeyEvent(xtest.get(), key, True, CurrentTime);
    XTestFakeKeyEvent(xtest.get(), key, False, CurrentTime);
    XSync(xtest.get(), False);
    moveTo(700, 300);
    click(1);
    ASSERT_TRUE(waitForClicks(1));
    QThread::msleep(50);
    QCoreApplication::processEvents();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(at(received[0]), QPointF(700, 300));
}

// Each press is stamped when its position is read on the tap's thread, before
// the next move, and handed to the GUI thread only once it is free again.
TEST_F(X11ClickTap, ABusyGuiThreadDelaysDeliveryButNotThePositionRead)
{
    moveTo(300, 400);
    const QDateTime firstSent = QDateTime::currentDateTime();
    click(1);
    QThread::msleep(30);
    moveTo(900, 100);
    const QDateTime secondSent = QDateTime::currentDateTime();
    click(3);
    QThread::msleep(30);
    moveTo(1200, 800);
    // The GUI thread stays busy a while longer.
    for (int i = 0; i < 30; ++i)
        QThread::msleep(5);
    const QDateTime busyUntil = QDateTime::currentDateTime();
    EXPECT_TRUE(received.isEmpty());

    ASSERT_TRUE(waitForClicks(2));
    EXPECT_EQ(at(received[0]), QPointF(300, 400));
    EXPECT_EQ(at(received[1]), QPointF(900, 100));
    const QDateTime order[] = { firstSent, received[0].timestamp, secondSent, received[1].timestamp, busyUntil,
        deliveredAt[0], deliveredAt[1] };
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_LE(order[i - 1], order[i]) << "sent, read, sent, read, busy until, delivered, delivered: step " << i;
}

TEST_F(X11ClickTap, TwoQuickClicksArriveInOrder)
{
    const QPoint points[] = { { 400, 300 }, { 1400, 600 }, { 800, 900 } };
    for (const QPoint& p : points) {
        moveTo(p.x(), p.y());
        click(1);
        QThread::msleep(25); // the pointer rests a moment, quicker than any double-click
    }
    ASSERT_TRUE(waitForClicks(3));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(at(received[i]), QPointF(points[i])) << i;
    EXPECT_LE(received[0].timestamp, received[1].timestamp);
    EXPECT_LE(received[1].timestamp, received[2].timestamp);
}

TEST_F(X11ClickTap, StopEndsDeliveryAndAStartHearsAgain)
{
    clicks.stop();
    EXPECT_FALSE(clicks.isTracking());
    moveTo(400, 400);
    click(1);
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.isEmpty());

    ASSERT_TRUE(clicks.start());
    moveTo(420, 440);
    click(3);
    ASSERT_TRUE(waitForClicks(1));
    EXPECT_EQ(at(received[0]), QPointF(420, 440));
    EXPECT_EQ(clicks.tapReenableCount(), 0);
}
