#include "WindowHelper.h"

#include "engine/CaptureService.h"
#include "engine/PickerDump.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/x11/X11Backends.h"
#include "platform/x11/X11Display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace zova;

namespace {

// A window of the test process itself, as the application's own windows are.
class OwnWindow {
public:
    OwnWindow(QRect geometry, const char* title, const char* instance, const char* cls)
        : m_display(x11::openDisplay())
    {
        Display* d = m_display.get();
        XSetWindowAttributes attrs {};
        attrs.background_pixel = 0xff00ff;
        attrs.event_mask = StructureNotifyMask;
        m_window = XCreateWindow(d, DefaultRootWindow(d), geometry.x(), geometry.y(), unsigned(geometry.width()),
            unsigned(geometry.height()), 0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask,
            &attrs);
        XChangeProperty(d, m_window, x11::atom(d, "_NET_WM_NAME"), x11::atom(d, "UTF8_STRING"), 8, PropModeReplace,
            reinterpret_cast<const unsigned char*>(title), int(strlen(title)));
        XClassHint hint { const_cast<char*>(instance), const_cast<char*>(cls) };
        XSetClassHint(d, m_window, &hint);
        const long pid = QCoreApplication::applicationPid();
        XChangeProperty(d, m_window, x11::atom(d, "_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
            reinterpret_cast<const unsigned char*>(&pid), 1);
        XSizeHints size {};
        size.flags = USPosition | USSize;
        XSetWMNormalHints(d, m_window, &size);
        XMapWindow(d, m_window);
        XEvent event;
        do
            XWindowEvent(d, m_window, StructureNotifyMask, &event);
        while (event.type != MapNotify);
        XSync(d, False);
    }
    quint32 id() const { return quint32(m_window); }

private:
    x11::DisplayPtr m_display;
    Window m_window = None;
};

struct X11Capture : ::testing::Test {
    WindowHelper helper { QStringLiteral(ZOVA_X11_HELPER) };
    CaptureService capture { x11::makeWindowSource(), x11::makeScreenGrabber(),
        qint32(QCoreApplication::applicationPid()) };

    // The helper's window once the window manager lists it as mapped (or, for
    // `mapped` false, at all).
    DesktopWindow listed(quint32 id, qint32 pid, bool mapped = true)
    {
        std::optional<DesktopWindow> found;
        test::waitUntil([&] {
            for (const auto& w : capture.liveWindows(pid)) {
                if (w.windowID == id && (w.isOnScreen || !mapped)) {
                    found = w;
                    return true;
                }
            }
            return false;
        });
        if (!found)
            throw std::runtime_error("window never listed");
        return *found;
    }
    DesktopScreen display()
    {
        auto displays = capture.listDisplays();
        if (!displays || displays->isEmpty())
            throw std::runtime_error("no display");
        return displays->first();
    }
};

QStringList dumpLines() { return QString::fromUtf8(test::readFile(pickerDumpPath())).split(QLatin1Char('\n')); }

// Share of the image's pixels that have the colour.
double shareOf(const QImage& image, QRgb colour)
{
    qint64 hits = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            hits += (line[x] & 0xffffff) == (colour & 0xffffff);
    }
    return double(hits) / double(qint64(image.width()) * image.height());
}

} // namespace

TEST_F(X11Capture, ListingFiltersAndSortsRealWindowsWithTheirDumpLines)
{
    WindowHelper agent { QStringLiteral(ZOVA_X11_HELPER) };
    WindowHelper hidden { QStringLiteral(ZOVA_X11_HELPER) };
    const QString a = QString::number(helper.pid());
    const QString own = QString::number(QCoreApplication::applicationPid());
    struct Row {
        WindowHelper* owner;
        const char* arguments;
        QString line;
    };
    const QList<Row> rows {
        { &helper, "40 40 400 300 00ff00 title=Alpha class=zt-editor.Editor",
            "✓ [Editor] title=\"Alpha\" frame=400×300 layer=0 pid=" + a + " bundle=zt-editor → PASS" },
        { &helper, "460 40 400 300 00ff00 title=beta class=zt-editor.Editor",
            "✓ [Editor] title=\"beta\" frame=400×300 layer=0 pid=" + a + " bundle=zt-editor → PASS" },
        { &helper, "880 40 400 300 00ff00 title=Beta class=zt-editor.Editor",
            "✓ [Editor] title=\"Beta\" frame=400×300 layer=0 pid=" + a + " bundle=zt-editor → PASS" },
        { &helper, "1300 40 30 400 00ff00 title=Narrow class=zt-editor.Editor",
            "✗ [Editor] title=\"Narrow\" frame=30×400 layer=0 pid=" + a
                + " bundle=zt-editor → DROP: titled, frame too small (30×400)" },
        { &helper, "1340 40 31 51 00ff00 title=Small class=zt-editor.Editor",
            "✓ [Editor] title=\"Small\" frame=31×51 layer=0 pid=" + a + " bundle=zt-editor → PASS" },
        { &helper, "40 400 200 300 00ff00 class=zt-editor.Editor",
            "✗ [Editor] title=\"\" frame=200×300 layer=0 pid=" + a
                + " bundle=zt-editor → DROP: untitled, frame too small (200×300)" },
        { &helper, "260 400 201 201 00ff00 class=zt-editor.Editor",
            "✓ [Editor] title=\"\" frame=201×201 layer=0 pid=" + a + " bundle=zt-editor → PASS" },
        { &helper, "480 400 300 300 00ff00 title=Tools type=UTILITY class=zt-editor.Editor",
            "✗ [Editor] title=\"Tools\" frame=300×300 layer=3 pid=" + a + " bundle=zt-editor → DROP: layer=3" },
        { &helper, "800 400 400 300 00ff00 title=Minimised iconic class=zt-editor.Editor",
            "✓ [Editor] title=\"Minimised\" frame=400×300 layer=0 pid=" + a + " bundle=zt-editor → PASS" },
        // Without _NET_WM_PID the X server still knows the client's process.
        { &helper, "1220 400 400 300 00ff00 title=Orphan nopid class=zt-editor.Editor",
            "✓ [Editor] title=\"Orphan\" frame=400×300 layer=0 pid=" + a + " bundle=zt-editor → PASS" },
        { &helper, "40 720 400 300 00ff00 title=Panel class=xfce4-panel.Xfce4-panel",
            "✗ [Xfce4-panel] title=\"Panel\" frame=400×300 layer=0 pid=" + a
                + " bundle=xfce4-panel → DROP: system bundle prefix (xfce4-panel)" },
        { &agent, "460 720 400 300 00ff00 title=Console class=zt-agent.agent",
            "✓ [agent] title=\"Console\" frame=400×300 layer=0 pid=" + QString::number(agent.pid())
                + " bundle=zt-agent → PASS" },
        // Rule 3 comes before rule 5: the window of a process without taskbar
        // windows is dropped for that, whatever its class.
        { &hidden, "880 720 400 300 00ff00 title=Hidden skiptaskbar class=com.apple.dock.Dock",
            "✗ [Dock] title=\"Hidden\" frame=400×300 layer=0 pid=" + QString::number(hidden.pid())
                + " bundle=com.apple.dock → DROP: pid " + QString::number(hidden.pid())
                + " not in visible-regular running apps" },
    };
    for (const auto& row : rows)
        row.owner->create(QString::fromLatin1(row.arguments));
    OwnWindow self(QRect(1300, 720, 400, 300), "Own", "zova", "Zova");
    const QString selfLine
        = "✗ [Zova] title=\"Own\" frame=400×300 layer=0 pid=" + own + " bundle=zova → DROP: self (Z.O.V.A)";

    Expected<QList<DesktopWindow>, CaptureError> result = unexpected(CaptureError::NoDisplay);
    QStringList lines;
    test::waitUntil([&] {
        result = capture.listWindows();
        lines = dumpLines();
        return std::all_of(rows.begin(), rows.end(), [&](const Row& r) { return lines.contains(r.line); })
            && lines.contains(selfLine);
    });
    ASSERT_TRUE(result);
    for (const auto& row : rows)
        EXPECT_TRUE(lines.contains(row.line)) << row.line.toStdString() << "\n" << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(selfLine)) << lines.join('\n').toStdString();

    // The dump's frame lines agree with its counts.
    ASSERT_GE(lines.size(), 8);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^=== ZOVA picker dump · \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "
                                                  "\\+0000 ===$"))
                    .match(lines[0])
                    .hasMatch())
        << lines[0].toStdString();
    const qsizetype first = lines.indexOf(QStringLiteral("---"));
    const qsizetype last = lines.lastIndexOf(QStringLiteral("---"));
    const qsizetype windowLines = last - first - 1;
    EXPECT_EQ(lines[1], QStringLiteral("SCK raw: %1 windows").arg(windowLines));
    EXPECT_EQ(lines.last(), QStringLiteral("Final: %1 of %2 passed").arg(result->size()).arg(windowLines));
    EXPECT_TRUE(lines.contains("  - agent [pid " + QString::number(agent.pid()) + ", bundle zt-agent]"));
    EXPECT_TRUE(lines.contains("  - Zova [pid " + own + ", bundle zova]"));
    EXPECT_FALSE(lines.contains("  - Dock [pid " + QString::number(hidden.pid()) + ", bundle com.apple.dock]"));

    // Sorted by application name, then title, by code point: capitals first.
    QStringList order;
    for (const auto& w : *result) {
        if (w.processID() == helper.pid() || w.processID() == agent.pid())
            order << w.owningApplication->applicationName + "/" + w.title.value_or(QString());
    }
    EXPECT_EQ(order,
        (QStringList { "Editor/", "Editor/Alpha", "Editor/Beta", "Editor/Minimised", "Editor/Orphan", "Editor/Small",
            "Editor/beta", "agent/Console" }));
    // Minimised is told apart from another workspace.
    for (const auto& w : *result) {
        if (w.processID() == helper.pid()) {
            EXPECT_EQ(w.isMinimized, w.title == QStringLiteral("Minimised")) << w.title->toStdString();
        }
    }
}

TEST_F(X11Capture, ACoveredWindowIsCapturedWithItsOwnPixels)
{
    const quint32 under = helper.create(QStringLiteral("100 100 400 300 ff0000 title=Under"));
    const quint32 over = helper.create(QStringLiteral("150 150 400 300 0000ff title=Over"));
    const DesktopWindow window = listed(under, helper.pid());
    listed(over, helper.pid());

    auto frame = capture.captureScreenshot(window);
    ASSERT_TRUE(frame) << captureErrorMessage(frame.error()).toStdString();
    EXPECT_EQ(frame->image.size(), QSize(400, 300));
    EXPECT_EQ(frame->contentRect, window.frame);
    EXPECT_EQ(shareOf(frame->image, 0xff0000), 1.0);

    // On screen the other window does cover it.
    auto screen = capture.captureScreenshot(display());
    ASSERT_TRUE(screen);
    const QPoint overlap = window.frame.toRect().bottomRight() - QPoint(10, 10);
    EXPECT_EQ(screen->image.pixel(overlap) & 0xffffff, 0x0000ffu);

    auto thumb = capture.thumbnail(window, 240);
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->size(), QSize(240, 180));
    EXPECT_GT(shareOf(*thumb, 0xff0000), 0.99);
}

TEST_F(X11Capture, UnmappedOrVanishedWindowsAreNotCapturable)
{
    const quint32 id = helper.create(QStringLiteral("100 100 400 300 ff0000 title=Going"));
    const DesktopWindow window = listed(id, helper.pid());
    helper.unmap(id);
    // Withdrawn, it leaves the window manager's list.
    ASSERT_TRUE(test::waitUntil([&] {
        const auto windows = capture.liveWindows(helper.pid());
        return std::none_of(windows.begin(), windows.end(), [&](const auto& w) { return w.windowID == id; });
    }));
    auto unmapped = capture.captureScreenshot(window);
    ASSERT_FALSE(unmapped);
    EXPECT_EQ(unmapped.error(), CaptureError::WindowNotCapturable);
    EXPECT_FALSE(capture.thumbnail(window, 240));

    // X errors of a window that no longer exists end nothing.
    helper.destroy(id);
    auto vanished = capture.captureScreenshot(window);
    ASSERT_FALSE(vanished);
    EXPECT_EQ(vanished.error(), CaptureError::WindowNotCapturable);
    EXPECT_FALSE(capture.thumbnail(window, 240));
    EXPECT_TRUE(capture.liveWindows(helper.pid()).isEmpty());
    EXPECT_FALSE(capture.windowUnderPoint(QPointF(150, 150), helper.pid()));
}

TEST_F(X11Capture, DisplayCaptureHasNoPixelOfAnOwnWindowOverTheTarget)
{
    const quint32 target = helper.create(QStringLiteral("200 200 800 500 00ff00 title=Target"));
    const DesktopWindow targetWindow = listed(target, helper.pid());

    // A decorated Qt window of this process over the target.
    QWidget own;
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0xff, 0x00, 0xff));
    own.setPalette(palette);
    own.setAutoFillBackground(true);
    own.setWindowTitle(QStringLiteral("Control panel"));
    own.setGeometry(400, 300, 300, 200);
    own.show();
    const qint32 self = qint32(QCoreApplication::applicationPid());
    ASSERT_TRUE(test::waitUntil([&] {
        for (const auto& w : capture.liveWindows(self)) {
            auto image = w.isOnScreen ? capture.captureScreenshot(w) : unexpected(CaptureError::CaptureFailed);
            if (image && shareOf(image->image, 0xff00ff) > 0.9)
                return true;
        }
        return false;
    })) << "the own window never showed its colour";

    auto screen = capture.captureScreenshot(display());
    ASSERT_TRUE(screen) << captureErrorMessage(screen.error()).toStdString();
    EXPECT_EQ(screen->image.size(), display().frame.size().toSize());
    EXPECT_EQ(screen->contentRect, display().frame);
    EXPECT_EQ(shareOf(screen->image, 0xff00ff), 0.0);
    const QImage targetArea = screen->image.copy(targetWindow.frame.toRect());
    EXPECT_EQ(shareOf(targetArea, 0x00ff00), 1.0) << "the target shows whole where the own window lies";
}

TEST_F(X11Capture, WindowUnderPointIsTheTopmostAndPopUpsCountAsTarget)
{
    const quint32 back = helper.create(QStringLiteral("100 100 400 300 ff0000 title=Back"));
    const quint32 front = helper.create(QStringLiteral("300 200 400 300 0000ff title=Front"));
    // A classic client's pop-up carries no _NET_WM_PID.
    const quint32 menu = helper.create(QStringLiteral("750 150 150 100 ffff00 override nopid"));
    const quint32 tooltip = helper.create(QStringLiteral("120 120 50 50 ffff00 override"));
    const DesktopWindow backWindow = listed(back, helper.pid());
    const DesktopWindow frontWindow = listed(front, helper.pid());
    const DesktopWindow menuWindow = listed(menu, helper.pid());
    listed(tooltip, helper.pid());
    EXPECT_GT(menuWindow.windowLayer, 0);

    const QPointF overlap = frontWindow.frame.topLeft() + QPointF(20, 20);
    ASSERT_TRUE(frameContains(backWindow.frame, overlap));
    const struct {
        QPointF point;
        std::optional<quint32> window;
    } cases[] = {
        { overlap, front },
        { backWindow.frame.topLeft() + QPointF(25, 25), back }, // beneath the pop-up
        { menuWindow.frame.center(), std::nullopt },
        { QPointF(frontWindow.frame.right(), frontWindow.frame.top() + 150), std::nullopt },
    };
    for (const auto& c : cases) {
        const auto found = capture.windowUnderPoint(c.point, helper.pid());
        EXPECT_EQ(found ? std::optional(found->windowID) : std::nullopt, c.window) << c.point.x() << "," << c.point.y();
    }
    EXPECT_FALSE(capture.windowUnderPoint(overlap, helper.pid() + 1000000));

    capture.beginTrackingTargetProcess(helper.pid());
    EXPECT_FALSE(capture.pointIsInTrackedTarget(overlap)) << "nothing is inside before the first refresh";
    ASSERT_TRUE(test::waitUntil([&] { return capture.pointIsInTrackedTarget(menuWindow.frame.center()); }))
        << "a click on the target's open menu is inside the target";
    EXPECT_TRUE(capture.pointIsInTrackedTarget(frontWindow.frame.topLeft()));
    EXPECT_FALSE(capture.pointIsInTrackedTarget(QPointF(frontWindow.frame.right(), frontWindow.frame.top() + 150)));
    EXPECT_FALSE(capture.pointIsInTrackedTarget(QPointF(1500, 900)));

    // Only mapped windows count: an unmapped window leaves the cache.
    const QPointF onlyFront = frontWindow.frame.bottomRight() - QPointF(10, 10);
    EXPECT_TRUE(capture.pointIsInTrackedTarget(onlyFront));
    helper.unmap(front);
    EXPECT_TRUE(test::waitUntil([&] { return !capture.pointIsInTrackedTarget(onlyFront); }));
    const auto afterUnmap = capture.windowUnderPoint(overlap, helper.pid());
    ASSERT_TRUE(afterUnmap);
    EXPECT_EQ(afterUnmap->windowID, back);
    capture.endTrackingTargetProcess();
    EXPECT_FALSE(capture.pointIsInTrackedTarget(backWindow.frame.center()));
}

TEST_F(X11Capture, DisplayCaptureDrawsTheRootBackgroundWhereNoWindowLies)
{
    auto display = x11::openDisplay();
    ASSERT_TRUE(display);
    Display* d = display.get();
    const Window root = DefaultRootWindow(d);
    const Atom rootPixmap = x11::atom(d, "_XROOTPMAP_ID");
    struct Restore {
        Display* d;
        Window root;
        Atom property;
        Pixmap tile = None;
        ~Restore()
        {
            XDeleteProperty(d, root, property);
            if (tile)
                XFreePixmap(d, tile);
            XSetWindowBackgroundPixmap(d, root, None); // the server's default
            XClearWindow(d, root);
            XSync(d, False);
        }
    } restore { d, root, rootPixmap };

    // A corner of the screen where no test window goes.
    DesktopScreen corner;
    corner.frame = QRectF(1880, 1040, 40, 40);
    corner.width = 40;
    corner.height = 40;

    // A solid root colour, as xsetroot -solid sets it.
    XSetWindowBackground(d, root, 0x3a7bd5);
    XClearWindow(d, root);
    XSync(d, False);
    auto solid = capture.captureScreenshot(corner);
    ASSERT_TRUE(solid) << captureErrorMessage(solid.error()).toStdString();
    EXPECT_EQ(shareOf(solid->image, 0x3a7bd5), 1.0) << "the root's colour, not black";

    // A wallpaper published as the root pixmap wins, tiled from the root's origin.
    const int depth = DefaultDepth(d, DefaultScreen(d));
    restore.tile = XCreatePixmap(d, root, 16, 16, unsigned(depth));
    GC gc = XCreateGC(d, restore.tile, 0, nullptr);
    XSetForeground(d, gc, 0x20c060);
    XFillRectangle(d, restore.tile, gc, 0, 0, 8, 16);
    XSetForeground(d, gc, 0xc04020);
    XFillRectangle(d, restore.tile, gc, 8, 0, 8, 16);
    XFreeGC(d, gc);
    XChangeProperty(
        d, root, rootPixmap, XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&restore.tile), 1);
    XSync(d, False);
    auto wallpaper = capture.captureScreenshot(corner);
    ASSERT_TRUE(wallpaper);
    int wrong = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const QRgb expected = (1880 + x) % 16 < 8 ? 0x20c060 : 0xc04020;
            wrong += (wallpaper->image.pixel(x, y) & 0xffffff) != expected;
        }
    }
    EXPECT_EQ(wrong, 0);

    // A published pixmap that no longer exists falls back to the root's colour.
    XFreePixmap(d, restore.tile);
    restore.tile = None;
    XSync(d, False);
    auto stale = capture.captureScreenshot(corner);
    ASSERT_TRUE(stale);
    EXPECT_EQ(shareOf(stale->image, 0x3a7bd5), 1.0);
}

TEST_F(X11Capture, DisplayCaptureShowsTheRootThroughShapedAndTranslucentWindows)
{
    auto display = x11::openDisplay();
    ASSERT_TRUE(display);
    Display* d = display.get();
    const Window root = DefaultRootWindow(d);
    const int screen = DefaultScreen(d);
    XVisualInfo argb {};
    if (!XMatchVisualInfo(d, screen, 32, TrueColor, &argb))
        GTEST_SKIP() << "no 32-bit visual on this server";
    struct Restore {
        Display* d;
        Window root;
        std::vector<Window> windows;
        Colormap colormap = None;
        ~Restore()
        {
            for (Window w : windows)
                XDestroyWindow(d, w);
            if (colormap)
                XFreeColormap(d, colormap);
            XSetWindowBackgroundPixmap(d, root, None);
            XClearWindow(d, root);
            XSync(d, False);
        }
    } restore { d, root, {} };
    XSetWindowBackground(d, root, 0x3a7bd5);
    XClearWindow(d, root);

    // Opaque red, but shaped to its left half; beside it a half-transparent red.
    XSetWindowAttributes attrs {};
    attrs.override_redirect = True;
    attrs.background_pixel = 0xff0000;
    const Window shaped = XCreateWindow(d, root, 1720, 960, 80, 80, 0, CopyFromParent, InputOutput, CopyFromParent,
        CWBackPixel | CWOverrideRedirect, &attrs);
    restore.windows.push_back(shaped);
    XRectangle leftHalf { 0, 0, 40, 80 };
    XShapeCombineRectangles(d, shaped, ShapeBounding, 0, 0, &leftHalf, 1, ShapeSet, Unsorted);
    restore.colormap = XCreateColormap(d, root, argb.visual, AllocNone);
    attrs.colormap = restore.colormap;
    attrs.border_pixel = 0;
    attrs.background_pixel = 0x80800000; // premultiplied
    const Window translucent = XCreateWindow(d, root, 1820, 960, 80, 80, 0, 32, InputOutput, argb.visual,
        CWBackPixel | CWBorderPixel | CWColormap | CWOverrideRedirect, &attrs);
    restore.windows.push_back(translucent);
    XMapRaised(d, shaped);
    XMapRaised(d, translucent);
    XSync(d, False);

    DesktopScreen corner;
    corner.frame = QRectF(1720, 960, 180, 80);
    corner.width = 180;
    corner.height = 80;
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3
            && std::abs(qBlue(a) - qBlue(b)) <= 3;
    };
    // Half red over the root's blue.
    const QRgb blended = qRgb(0x80 + 0x3a * 127 / 255, 0x7b * 127 / 255, 0xd5 * 127 / 255);
    const struct {
        const char* where;
        QPoint at;
        QRgb expected;
    } cases[] = {
        { "the shaped window's kept half", { 20, 40 }, qRgb(0xff, 0, 0) },
        { "the part its shape leaves out", { 60, 40 }, qRgb(0x3a, 0x7b, 0xd5) },
        { "the root between the two", { 90, 40 }, qRgb(0x3a, 0x7b, 0xd5) },
        { "the translucent window over the root", { 140, 40 }, blended },
    };
    // These windows are this process's own: a capture that treats no process as its own.
    CaptureService others(x11::makeWindowSource(), x11::makeScreenGrabber(), 0);
    std::optional<CaptureService::CapturedFrame> shot;
    test::waitUntil([&] {
        auto taken = others.captureScreenshot(corner);
        if (!taken)
            return false;
        shot = std::move(*taken);
        return std::all_of(std::begin(cases), std::end(cases),
            [&](const auto& c) { return near(shot->image.pixel(c.at), c.expected); });
    });
    ASSERT_TRUE(shot);
    for (const auto& c : cases)
        EXPECT_TRUE(near(shot->image.pixel(c.at), c.expected))
            << c.where << ": " << std::hex << shot->image.pixel(c.at) << " instead of " << c.expected;
}
