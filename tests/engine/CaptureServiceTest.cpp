#include "CaptureFakes.h"
#include "LogCapture.h"

#include "engine/CaptureService.h"
#include "engine/PickerDump.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace zova;

namespace {

constexpr qint32 ownPID = 42;

struct Fixture : ::testing::Test {
    std::shared_ptr<FakeWindowSource> source = std::make_shared<FakeWindowSource>();
    std::shared_ptr<FakeScreenGrabber> grabber = std::make_shared<FakeScreenGrabber>();
    CaptureService capture { source, grabber, ownPID };

    void addApp(qint32 pid, QString name, QString instance, bool regular)
    {
        source->content.applications.append(ApplicationInfo { pid, name, instance, regular });
    }
    QStringList dumpLines() const
    {
        return QString::fromUtf8(test::readFile(pickerDumpPath())).split(QLatin1Char('\n'));
    }
};

struct RuleRow {
    const char* name;
    DesktopWindow window;
    QString line;
};

} // namespace

TEST_F(Fixture, EachRuleDropsWithItsReasonInTheDump)
{
    addApp(100, "Editor", "editor", true);
    addApp(ownPID, "Zova", "zova", true);
    addApp(300, "Hidden", "com.apple.dock", false);
    addApp(400, "Panel", "xfce4-panel", true);
    addApp(500, "Settings", "com.apple.systempreferences", true);
    const QList<RuleRow> rows {
        { "menu layer", makeWindow(1, "Menu", { 0, 0, 200, 300 }, 100, "Editor", "editor", 101),
            "✗ [Editor] title=\"Menu\" frame=200×300 layer=101 pid=100 bundle=editor → DROP: layer=101" },
        { "titled at 30 wide", makeWindow(2, "Narrow", { 0, 0, 30, 400 }, 100),
            "✗ [Editor] title=\"Narrow\" frame=30×400 layer=0 pid=100 bundle=editor → DROP: titled, frame too small "
            "(30×400)" },
        { "titled at 50 high", makeWindow(3, "Flat", { 0, 0, 400, 50.9 }, 100),
            "✗ [Editor] title=\"Flat\" frame=400×50 layer=0 pid=100 bundle=editor → DROP: titled, frame too small "
            "(400×50)" },
        { "titled 31x51 passes", makeWindow(4, "Small", { 0, 0, 31, 51 }, 100),
            "✓ [Editor] title=\"Small\" frame=31×51 layer=0 pid=100 bundle=editor → PASS" },
        { "untitled 200x300", makeWindow(5, std::nullopt, { 0, 0, 200, 300 }, 100),
            "✗ [Editor] title=\"\" frame=200×300 layer=0 pid=100 bundle=editor → DROP: untitled, frame too small "
            "(200×300)" },
        { "empty title counts as untitled", makeWindow(6, QString(), { 0, 0, 300, 200 }, 100),
            "✗ [Editor] title=\"\" frame=300×200 layer=0 pid=100 bundle=editor → DROP: untitled, frame too small "
            "(300×200)" },
        { "untitled 201x201 passes", makeWindow(7, std::nullopt, { 0, 0, 201, 201 }, 100),
            "✓ [Editor] title=\"\" frame=201×201 layer=0 pid=100 bundle=editor → PASS" },
        { "fractional frame truncated", makeWindow(8, "Doc %1 50%", { 10.5, 10.5, 640.7, 480.2 }, 100),
            "✓ [Editor] title=\"Doc %1 50%\" frame=640×480 layer=0 pid=100 bundle=editor → PASS" },
        { "hidden app beats system prefix", makeWindow(9, "Dock", { 0, 0, 400, 400 }, 300, "Hidden", "com.apple.dock"),
            "✗ [Hidden] title=\"Dock\" frame=400×400 layer=0 pid=300 bundle=com.apple.dock → DROP: pid 300 not in "
            "visible-regular running apps" },
        { "own window", makeWindow(10, "Picker", { 0, 0, 400, 400 }, ownPID, "Zova", "zova"),
            "✗ [Zova] title=\"Picker\" frame=400×400 layer=0 pid=42 bundle=zova → DROP: self (Z.O.V.A)" },
        { "system settings",
            makeWindow(11, "Settings", { 0, 0, 400, 400 }, 500, "Settings", "com.apple.systempreferences"),
            "✗ [Settings] title=\"Settings\" frame=400×400 layer=0 pid=500 bundle=com.apple.systempreferences → DROP: "
            "system bundle prefix (com.apple.systempreferences)" },
        { "prefix names the window's bundle",
            makeWindow(12, "W", { 0, 0, 400, 400 }, 500, "Weather", "com.apple.weather.widget"),
            "✗ [Weather] title=\"W\" frame=400×400 layer=0 pid=500 bundle=com.apple.weather.widget → DROP: system "
            "bundle "
            "prefix (com.apple.weather.widget)" },
        { "prefixes are case-sensitive", makeWindow(13, "W", { 0, 0, 400, 400 }, 500, "Weather", "com.apple.Weather"),
            "✓ [Weather] title=\"W\" frame=400×400 layer=0 pid=500 bundle=com.apple.Weather → PASS" },
        { "desktop panel", makeWindow(14, "Panel", { 0, 0, 1920, 400 }, 400, "Panel", "xfce4-panel"),
            "✗ [Panel] title=\"Panel\" frame=1920×400 layer=0 pid=400 bundle=xfce4-panel → DROP: system bundle prefix "
            "(xfce4-panel)" },
        { "no owning application", makeWindow(15, "Orphan", { 0, 0, 400, 400 }, 0),
            "✗ [<no app>] title=\"Orphan\" frame=400×400 layer=0 pid=0 bundle=<no bundle> → DROP: no app name" },
        { "empty application name", makeWindow(16, "Nameless", { 0, 0, 400, 400 }, 100, "", "editor"),
            "✗ [] title=\"Nameless\" frame=400×400 layer=0 pid=100 bundle=editor → DROP: no app name" },
    };
    for (const auto& row : rows)
        source->content.windows.append(row.window);

    auto result = capture.listWindows();
    ASSERT_TRUE(result);
    const QStringList lines = dumpLines();
    const qsizetype first = lines.indexOf("---") + 1;
    ASSERT_GT(first, 0);
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(lines.value(first + i), rows[i].line) << rows[i].name;
    EXPECT_EQ(lines.value(first + rows.size()), "---");
    EXPECT_EQ(lines.last(), "Final: 4 of 16 passed");

    QList<WindowID> ids;
    for (const auto& w : *result)
        ids.append(w.windowID);
    // Editor (titles "", "Doc…", "Small") before Weather; empty title first.
    EXPECT_EQ(ids, (QList<WindowID> { 7, 8, 4, 13 }));
}

TEST_F(Fixture, DumpHeaderAppListAndFileSafety)
{
    addApp(100, "beta", "b.app", true);
    addApp(101, "Alpha", "a.app", true);
    addApp(102, "Accessory", "acc", false);
    source->content.applications.append(ApplicationInfo { 103, std::nullopt, std::nullopt, true });
    source->content.windows.append(makeWindow(1, "One", { 0, 0, 400, 400 }, 100, "beta", "b.app"));

    ASSERT_TRUE(capture.listWindows());
    const QString path = pickerDumpPath();
    EXPECT_TRUE(path.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR"))) << path.toStdString();
    const auto perms = QFileInfo(path).permissions();
    EXPECT_TRUE(perms.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_FALSE(perms
        & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther
            | QFileDevice::ExeOwner));
    const QByteArray bytes = test::readFile(path);
    EXPECT_FALSE(bytes.endsWith('\n'));

    const QStringList lines = dumpLines();
    EXPECT_TRUE(QRegularExpression("^=== ZOVA picker dump · \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\+0000 ===$")
                    .match(lines.value(0))
                    .hasMatch())
        << lines.value(0).toStdString();
    const QStringList expected {
        "SCK raw: 1 windows",
        "All running app PIDs: 4",
        "Visible regular app PIDs: 3",
        "Visible-regular app names:",
        "  - <no name> [pid 103, bundle <none>]",
        "  - Alpha [pid 101, bundle a.app]",
        "  - beta [pid 100, bundle b.app]",
        "---",
        "✓ [beta] title=\"One\" frame=400×400 layer=0 pid=100 bundle=b.app → PASS",
        "---",
        "Final: 1 of 1 passed",
    };
    EXPECT_EQ(lines.mid(1), expected);
}

TEST_F(Fixture, EmptyListingAndFailedListing)
{
    auto empty = capture.listWindows();
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
    const QStringList lines = dumpLines();
    EXPECT_EQ(lines.mid(lines.size() - 3), (QStringList { "---", "---", "Final: 0 of 0 passed" }));

    QFile::remove(pickerDumpPath());
    source->fail = true;
    auto failed = capture.listWindows();
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error(), CaptureError::NoDisplay);
    EXPECT_FALSE(QFile::exists(pickerDumpPath()));
}

TEST_F(Fixture, SortIsByCodePointAndStable)
{
    addApp(1, "c", "c", true);
    addApp(2, "Z", "z", true);
    for (auto [id, pid, app, title] : std::initializer_list<std::tuple<WindowID, qint32, const char*, const char*>> {
             { 1, 1, "c", "a" }, { 2, 2, "Z", "b" }, { 3, 2, "Z", "B" }, { 4, 2, "Z", "B" } })
        source->content.windows.append(makeWindow(id, QString(title), { 0, 0, 400, 400 }, pid, app, app));
    auto result = capture.listWindows();
    ASSERT_TRUE(result);
    QList<WindowID> ids;
    for (const auto& w : *result)
        ids.append(w.windowID);
    EXPECT_EQ(ids, (QList<WindowID> { 3, 4, 2, 1 }));
}

TEST_F(Fixture, SortPutsCharactersBeyondTheBasicPlaneLast)
{
    addApp(1, "Notes", "notes", true);
    // U+FF21 (fullwidth A) is below U+1F600 (an emoji, two UTF-16 surrogate units).
    const QString emoji = QString::fromUcs4(U"\U0001F600 Party");
    const QString fullwidth = QString::fromUcs4(U"\uFF21 Memo");
    source->content.windows = { makeWindow(1, emoji, { 0, 0, 400, 400 }, 1, "Notes", "notes"),
        makeWindow(2, fullwidth, { 0, 0, 400, 400 }, 1, "Notes", "notes"),
        makeWindow(3, QStringLiteral("Zebra"), { 0, 0, 400, 400 }, 1, "Notes", "notes") };
    auto result = capture.listWindows();
    ASSERT_TRUE(result);
    QList<WindowID> ids;
    for (const auto& w : *result)
        ids.append(w.windowID);
    EXPECT_EQ(ids, (QList<WindowID> { 3, 2, 1 }));
}

TEST_F(Fixture, WindowScreenshotUsesTheFreshWindowElseTheOneGiven)
{
    const DesktopWindow given = makeWindow(7, "Doc", { 10, 10, 300, 200 }, 100);
    DesktopWindow moved = given;
    moved.frame = QRectF(50, 60, 320, 240);

    struct Row {
        const char* name;
        QList<DesktopWindow> fresh;
        bool fail;
        QRectF expected;
    };
    const QList<Row> rows {
        { "fresh listing holds the window", { makeWindow(8, "Other", { 0, 0, 10, 10 }, 100), moved }, false,
            moved.frame },
        { "window gone from the listing", {}, false, given.frame },
        { "listing fails", { moved }, true, given.frame },
    };
    for (const auto& row : rows) {
        source->content.windows = row.fresh;
        source->fail = row.fail;
        grabber->windowsAsked.clear();
        auto frame = capture.captureScreenshot(given);
        ASSERT_TRUE(frame) << row.name;
        ASSERT_EQ(grabber->windowsAsked.size(), 1) << row.name;
        EXPECT_EQ(grabber->windowsAsked.first().frame, row.expected) << row.name;
        EXPECT_EQ(frame->contentRect, row.expected) << row.name;
        EXPECT_EQ(frame->image.size(), row.expected.size().toSize()) << row.name;
    }

    grabber->fail = true;
    auto failed = capture.captureScreenshot(given);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error(), CaptureError::WindowNotCapturable);
}

TEST_F(Fixture, WindowScreenshotDrawsTheProcessOpenPopUpsWhereTheyAre)
{
    const DesktopWindow window = makeWindow(7, "Doc", { 100, 100, 400, 300 }, 100);
    // A menu hanging over the right edge, its submenu beside it, a tooltip far
    // away, a closed menu, and another process's menu on the window.
    const auto menu = makeWindow(8, std::nullopt, { 450, 150, 100, 200 }, 100, "Editor", "editor", 101);
    const auto submenu = makeWindow(9, std::nullopt, { 551, 300, 80, 120 }, 100, "Editor", "editor", 101);
    const auto far = makeWindow(10, std::nullopt, { 1200, 900, 50, 20 }, 100, "Editor", "editor", 102);
    auto closed = makeWindow(11, std::nullopt, { 120, 120, 50, 50 }, 100, "Editor", "editor", 101);
    closed.isOnScreen = false;
    const auto foreign = makeWindow(12, std::nullopt, { 200, 200, 50, 50 }, 200, "Other", "other", 101);
    const auto panel = makeWindow(13, "Panel", { 0, 0, 50, 50 }, ownPID, "Zova", "zova");
    source->content.windows = { submenu, menu, far, closed, foreign, panel, window };
    grabber->colours = { { 7, Qt::red }, { 8, Qt::green }, { 9, Qt::yellow }, { 10, Qt::cyan } };

    auto frame = capture.captureScreenshot(window);
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->includesPopups);
    const QRectF area(100, 100, 531, 320);
    EXPECT_EQ(frame->contentRect, area);
    ASSERT_EQ(frame->image.size(), QSize(531, 320));
    EXPECT_EQ(grabber->displaysAsked, QList<QRectF> { area }) << "the screen fills what no window covers";
    EXPECT_EQ(grabber->excludedAsked, QList<WindowID> { 13 });
    QList<WindowID> asked;
    for (const auto& w : grabber->windowsAsked)
        asked.append(w.windowID);
    EXPECT_EQ(asked, (QList<WindowID> { 8, 9, 7 })) << "the pop-ups first, bottom to top, then the window";
    const struct {
        QPoint global;
        QColor colour;
    } pixels[] = {
        { { 110, 110 }, Qt::red }, // the window
        { { 130, 130 }, Qt::red }, // where the closed menu was
        { { 210, 210 }, Qt::red }, // the other process's menu is not drawn
        { { 460, 160 }, Qt::green }, // the menu over the window's edge
        { { 540, 340 }, Qt::green }, // the menu outside the window
        { { 600, 400 }, Qt::yellow }, // the submenu
        { { 600, 120 }, Qt::blue }, // the screen beside the menus
    };
    for (const auto& p : pixels)
        EXPECT_EQ(frame->image.pixelColor(p.global - QPoint(100, 100)), p.colour)
            << p.global.x() << "," << p.global.y();

    // A clicked pop-up that lies apart from the window is drawn too.
    grabber->windowsAsked.clear();
    auto clicked = capture.captureScreenshot(window, WindowID(10));
    ASSERT_TRUE(clicked);
    EXPECT_EQ(clicked->contentRect, QRectF(100, 100, 1150, 820));
    EXPECT_EQ(clicked->image.pixelColor(1210 - 100, 910 - 100), QColor(Qt::cyan));

    // Without pop-ups the window comes alone.
    source->content.windows = { closed, foreign, window };
    grabber->displaysAsked.clear();
    auto alone = capture.captureScreenshot(window);
    ASSERT_TRUE(alone);
    EXPECT_FALSE(alone->includesPopups);
    EXPECT_EQ(alone->contentRect, window.frame);
    EXPECT_TRUE(grabber->displaysAsked.isEmpty());
}

TEST_F(Fixture, PopupUnderPointOnlyWhenItIsTheProcessTopmostThere)
{
    const auto menu = makeWindow(1, std::nullopt, { 100, 100, 200, 300 }, 100, "Editor", "editor", 101);
    const auto window = makeWindow(2, "Doc", { 50, 50, 600, 600 }, 100);
    auto closed = makeWindow(3, std::nullopt, { 400, 400, 100, 100 }, 100, "Editor", "editor", 101);
    closed.isOnScreen = false;
    const auto foreign = makeWindow(4, std::nullopt, { 500, 100, 100, 100 }, 200, "Other", "other", 101);
    source->content.windows = { foreign, menu, closed, window };
    struct Row {
        QPointF point;
        std::optional<WindowID> expected;
    };
    for (const Row& row : QList<Row> { { { 150, 150 }, 1 }, { { 60, 60 }, std::nullopt },
             { { 450, 450 }, std::nullopt }, { { 550, 150 }, std::nullopt }, { { 900, 900 }, std::nullopt } }) {
        auto found = capture.popupUnderPoint(row.point, 100);
        EXPECT_EQ(found ? std::optional(found->windowID) : std::nullopt, row.expected)
            << row.point.x() << "," << row.point.y();
    }
    EXPECT_FALSE(capture.popupUnderPoint({ 150, 150 }, 0));
}

TEST_F(Fixture, DisplayScreenshotLeavesOutEveryOwnWindow)
{
    source->content.windows = {
        makeWindow(1, "Target", { 0, 0, 800, 600 }, 100),
        makeWindow(2, "Panel", { 10, 10, 300, 60 }, ownPID, "Zova", "zova"),
        makeWindow(3, std::nullopt, { 0, 0, 800, 4 }, ownPID, "Zova", "zova", 101),
    };
    source->content.windows[2].isOnScreen = false;
    const DesktopScreen display { 1, QRectF(0, 0, 1920, 1080), 1920, 1080, true };
    auto frame = capture.captureScreenshot(display);
    ASSERT_TRUE(frame);
    EXPECT_EQ(grabber->excludedAsked, (QList<WindowID> { 2, 3 }));
    EXPECT_EQ(frame->contentRect, display.frame);
    EXPECT_EQ(frame->image.size(), QSize(1920, 1080));

    grabber->fail = true;
    EXPECT_FALSE(capture.captureScreenshot(display));
}

TEST_F(Fixture, ThumbnailSizes)
{
    struct Row {
        QSizeF window;
        std::optional<QSize> expected;
    };
    const QList<Row> rows {
        { { 1200, 800 }, QSize(240, 160) },
        { { 100, 50 }, QSize(100, 50) },
        { { 1000, 3 }, QSize(240, 1) },
        { { 800, 1200 }, QSize(160, 240) },
        { { 0, 100 }, std::nullopt },
    };
    for (const auto& row : rows) {
        auto thumb = capture.thumbnail(makeWindow(1, "T", QRectF(QPointF(5, 5), row.window), 100), 240);
        ASSERT_EQ(thumb.has_value(), row.expected.has_value()) << row.window.width() << "x" << row.window.height();
        if (thumb) {
            EXPECT_EQ(thumb->size(), *row.expected);
        }
    }
    grabber->fail = true;
    EXPECT_FALSE(capture.thumbnail(makeWindow(1, "T", { 0, 0, 400, 400 }, 100), 240));
}

TEST_F(Fixture, LiveWindowsAndWindowUnderPoint)
{
    auto menu = makeWindow(1, std::nullopt, { 100, 100, 200, 300 }, 100, "Editor", "editor", 101);
    auto top = makeWindow(2, "Top", { 50, 50, 300, 300 }, 100);
    auto hidden = makeWindow(3, "Minimised", { 0, 0, 1000, 1000 }, 100);
    hidden.isOnScreen = false;
    auto bottom = makeWindow(4, "Bottom", { 0, 0, 500, 500 }, 100);
    auto other = makeWindow(5, "Other", { 0, 0, 1000, 1000 }, 200, "Other", "other");
    source->content.windows = { menu, top, hidden, other, bottom };

    EXPECT_TRUE(capture.liveWindows(0).isEmpty());
    EXPECT_EQ(source->calls, 0);
    EXPECT_EQ(capture.liveWindows(100), (QList<DesktopWindow> { menu, top, hidden, bottom }));

    struct Row {
        QPointF point;
        std::optional<WindowID> expected;
    };
    for (const Row& row :
        QList<Row> { { { 150, 150 }, 2 }, { { 400, 400 }, 4 }, { { 350, 350 }, 4 }, { { 600, 600 }, std::nullopt } }) {
        auto found = capture.windowUnderPoint(row.point, 100);
        EXPECT_EQ(found ? std::optional(found->windowID) : std::nullopt, row.expected)
            << row.point.x() << "," << row.point.y();
    }
    EXPECT_FALSE(capture.windowUnderPoint({ 150, 150 }, 0));

    source->fail = true;
    EXPECT_TRUE(capture.liveWindows(100).isEmpty());
    EXPECT_FALSE(capture.windowUnderPoint({ 150, 150 }, 100));
}

TEST_F(Fixture, TrackingBeginsEndsAndLogs)
{
    LogCapture log("zova.engine.capture");
    capture.beginTrackingTargetProcess(0);
    capture.endTrackingTargetProcess();
    EXPECT_EQ(capture.trackedTargetPID(), 0);
    EXPECT_TRUE(log.lines().isEmpty());

    capture.beginTrackingTargetProcess(100);
    capture.beginTrackingTargetProcess(200);
    capture.endTrackingTargetProcess();
    EXPECT_EQ(log.lines(),
        (QStringList { "Started tracking target process 100 for click acceptance",
            "Stopped tracking target process 100", "Started tracking target process 200 for click acceptance",
            "Stopped tracking target process 200" }));
    EXPECT_EQ(capture.trackedTargetPID(), 0);
    EXPECT_TRUE(capture.cachedTargetWindows().isEmpty());
}

TEST_F(Fixture, TrackedTargetAnswersFromTheCacheWithHalfOpenFrames)
{
    auto main = makeWindow(1, "Main", { 100, 100, 400, 300 }, 100);
    auto second = makeWindow(2, "Second", { 600, 100, 200, 200 }, 100);
    auto popup = makeWindow(3, std::nullopt, { 150, 380, 100, 100 }, 100, "Editor", "editor", 101);
    auto minimised = makeWindow(4, "Minimised", { 900, 900, 100, 100 }, 100);
    minimised.isOnScreen = false;
    auto foreign = makeWindow(5, "Foreign", { 0, 0, 1920, 1080 }, 200, "Other", "other");
    source->content.windows = { popup, foreign, main, second, minimised };

    capture.beginTrackingTargetProcess(100);
    EXPECT_FALSE(capture.pointIsInTrackedTarget({ 200, 200 })) << "inside before the first refresh";
    ASSERT_TRUE(test::waitUntil([&] { return !capture.cachedTargetWindows().isEmpty(); }));

    struct Row {
        const char* name;
        QPointF point;
        bool inside;
    };
    const QList<Row> rows {
        { "top-left corner", { 100, 100 }, true },
        { "right edge", { 500, 200 }, false },
        { "bottom edge", { 120, 400 }, false },
        { "just inside bottom-right", { 499.5, 399.5 }, true },
        { "second window", { 700, 150 }, true },
        { "pop-up menu below the window", { 200, 450 }, true },
        { "unmapped window", { 950, 950 }, false },
        { "only the foreign window", { 50, 50 }, false },
    };
    for (const auto& row : rows)
        EXPECT_EQ(capture.pointIsInTrackedTarget(row.point), row.inside) << row.name;

    // The cache follows the window; a failed refresh empties it.
    source->content.windows[2].frame = QRectF(1000, 500, 300, 300);
    ASSERT_TRUE(test::waitUntil([&] { return capture.pointIsInTrackedTarget({ 1100, 600 }); }, 2000));
    source->fail = true;
    ASSERT_TRUE(test::waitUntil([&] { return capture.cachedTargetWindows().isEmpty(); }, 2000));
    EXPECT_FALSE(capture.pointIsInTrackedTarget({ 1100, 600 }));
    capture.endTrackingTargetProcess();
    EXPECT_FALSE(capture.pointIsInTrackedTarget({ 1100, 600 }));
}
