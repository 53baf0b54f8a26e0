#include "platform/x11/X11WindowOps.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace zova;

namespace {

struct Shown {
    QWidget widget;
    Shown(const QString& title, QRect geometry)
    {
        widget.setWindowTitle(title);
        widget.setGeometry(geometry);
        widget.show();
    }
    WindowID id() const { return WindowID(widget.winId()); }
    bool isMinimised() const { return widget.windowHandle()->windowStates() & Qt::WindowMinimized; }
};

} // namespace

TEST(X11WindowOps, MinimiseRestoreAndActivateThroughTheWindowManager)
{
    Shown first(QStringLiteral("First"), QRect(100, 100, 300, 200));
    Shown second(QStringLiteral("Second"), QRect(500, 100, 300, 200));
    ASSERT_TRUE(test::waitUntil([&] { return second.widget.windowHandle()->isExposed(); }));

    ASSERT_TRUE(x11::minimizeWindow(first.id()));
    ASSERT_TRUE(test::waitUntil([&] { return first.isMinimised(); }));
    ASSERT_TRUE(x11::restoreWindow(first.id()));
    ASSERT_TRUE(test::waitUntil([&] { return !first.isMinimised() && first.widget.isActiveWindow(); }));

    ASSERT_TRUE(x11::activateWindow(second.id()));
    ASSERT_TRUE(test::waitUntil([&] { return second.widget.isActiveWindow(); }));

    // The process's topmost normal window comes back even when minimised.
    ASSERT_TRUE(x11::minimizeWindow(second.id()));
    ASSERT_TRUE(test::waitUntil([&] { return second.isMinimised(); }));
    first.widget.hide();
    test::waitUntil([] { return false; }, 200);
    EXPECT_TRUE(x11::activateProcess(qint32(QCoreApplication::applicationPid())));
    EXPECT_TRUE(test::waitUntil([&] { return !second.isMinimised() && second.widget.isActiveWindow(); }));
}

TEST(X11WindowOps, UnknownWindowsAndProcessesAreRefused)
{
    EXPECT_FALSE(x11::activateWindow(0));
    EXPECT_FALSE(x11::restoreWindow(0x7ffffff));
    EXPECT_FALSE(x11::minimizeWindow(0x7ffffff));
    EXPECT_FALSE(x11::activateProcess(0));
    EXPECT_FALSE(x11::activateProcess(0x7ffffff0));
}
