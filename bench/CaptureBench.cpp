#include "Bench.h"
#include "WindowHelper.h"

#include "engine/CaptureService.h"
#include "engine/ClickTrackingService.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPalette>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

#include "platform/x11/X11Backends.h"
#include "platform/x11/X11Display.h"

#include <X11/extensions/XTest.h>

#include <cstdio>

using namespace zova;

namespace {

bool spinUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

std::optional<DesktopWindow> mapped(CaptureService& capture, quint32 id, qint32 pid)
{
    std::optional<DesktopWindow> found;
    spinUntil([&] {
        for (const auto& w : capture.liveWindows(pid)) {
            if (w.windowID == id && w.isOnScreen)
                found = w;
        }
        return found.has_value();
    });
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    // The picker dump goes to a folder of our own, not the user's.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_capture needs an X11 display (run it through scripts/bench.sh)\n");
        return 1;
    }
    WindowHelper helper(QStringLiteral(ZOVA_X11_HELPER));
    CaptureService capture(
        x11::makeWindowSource(), x11::makeScreenGrabber(), qint32(QCoreApplication::applicationPid()));

    const quint32 full = helper.create(QStringLiteral("0 0 1920 1080 3060a0 title=Full"));
    const auto fullWindow = mapped(capture, full, helper.pid());
    if (!fullWindow) {
        std::fprintf(stderr, "the 1920x1080 window never appeared\n");
        return 1;
    }
    const double windowMs = bench::measure(
        "window capture, 1920x1080 window", 30, [&] { (void)capture.captureScreenshot(*fullWindow); }, 25);
    bench::row("window capture, 1920x1080", windowMs, "ms", std::nullopt, "< 25 ms");

    // Own windows over the target, as the control panel and the outline lie.
    QWidget panel;
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::magenta);
    panel.setPalette(palette);
    panel.setAutoFillBackground(true);
    panel.setGeometry(600, 400, 400, 300);
    panel.show();
    QWidget outline;
    outline.setWindowFlags(Qt::FramelessWindowHint);
    outline.setGeometry(100, 100, 1200, 40);
    outline.show();
    spinUntil([&] { return capture.liveWindows(qint32(QCoreApplication::applicationPid())).size() >= 2; });
    const auto displays = capture.listDisplays();
    if (!displays || displays->isEmpty()) {
        std::fprintf(stderr, "no display listed\n");
        return 1;
    }
    const double displayMs = bench::measure(
        "display capture without own windows, 1920x1080", 30,
        [&] { (void)capture.captureScreenshot(displays->first()); }, 60);
    bench::row("display capture without own windows, 1920x1080", displayMs, "ms", std::nullopt, "< 60 ms");
    // The same with the root's own background showing around a few windows.
    helper.unmap(full);
    spinUntil([&] { return capture.liveWindows(helper.pid()).isEmpty(); });
    for (int i = 0; i < 4; ++i)
        helper.create(QStringLiteral("%1 120 400 300 a0a0a0 title=Small%2").arg(80 + i * 460).arg(i));
    spinUntil([&] { return capture.liveWindows(helper.pid()).size() >= 4; });
    const double bareMs = bench::measure(
        "display capture, root background showing, 1920x1080", 30,
        [&] { (void)capture.captureScreenshot(displays->first()); }, 60);
    bench::row("display capture, root background showing, 1920x1080", bareMs, "ms", std::nullopt, "< 60 ms");
    helper.map(full);

    // 30 windows in all: the full one and 29 more.
    for (int i = 0; i < 29; ++i)
        helper.create(QStringLiteral("%1 %2 300 240 a0a0a0 title=Window%3 class=bench-app.Bench")
                          .arg(40 + (i % 6) * 310)
                          .arg(40 + (i / 6) * 200)
                          .arg(i));
    spinUntil([&] { return capture.liveWindows(helper.pid()).size() >= 30; });
    bench::measure(
        "window listing, 30 windows (with the picker dump)", 50, [&] { (void)capture.listWindows(); }, 20);
    bench::measure(
        "  of which reading the session", 50, [&] { (void)capture.listDisplays(); }, 20);

    x11::DisplayPtr xtest = x11::openDisplay();
    ClickTrackingService clicks(&x11::makeClickTap);
    int received = 0;
    clicks.setOnClick([&](const ClickTrackingService::ClickEvent&) { ++received; });
    if (!clicks.start()) {
        std::fprintf(stderr, "the click tap did not start\n");
        return 1;
    }
    XTestFakeMotionEvent(xtest.get(), -1, 960, 540, CurrentTime);
    XSync(xtest.get(), False);
    const double pressMs = bench::measure(
        "XTest press -> ClickEvent on the GUI thread", 50,
        [&] {
            const int before = received;
            XTestFakeButtonEvent(xtest.get(), 1, True, CurrentTime);
            XFlush(xtest.get());
            spinUntil([&] { return received > before; });
        },
        5,
        [&] {
            XTestFakeButtonEvent(xtest.get(), 1, False, CurrentTime);
            XSync(xtest.get(), False);
            QThread::msleep(2);
            QCoreApplication::processEvents();
        });
    bench::row("XTest press -> click event on the GUI thread", pressMs, "ms", std::nullopt, "< 5 ms");
    clicks.stop();
    return 0;
}
