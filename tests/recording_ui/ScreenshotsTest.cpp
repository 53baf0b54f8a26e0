#include "FakeFeed.h"
#include "platform/x11/X11Backends.h"
#include "support/TestSupport.h"

#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "recording_ui/CardGrid.h"
#include "recording_ui/RecordingHUD.h"
#include "recording_ui/RecordingHUDController.h"
#include "recording_ui/RecordingOverlayController.h"
#include "recording_ui/WindowCard.h"
#include "recording_ui/WindowPickerView.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "X11Client.h"

using namespace zova;

// Writes pictures of the recording windows into $ZOVA_SCREENSHOT_DIR; skipped without it.
namespace {

QString outputDir() { return qEnvironmentVariable("ZOVA_SCREENSHOT_DIR"); }

QImage fakeWindow(int index)
{
    QImage image(480, 300, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 480, 300);
    g.setColorAt(0, QColor::fromHsv((index * 60) % 360, 90, 240));
    g.setColorAt(1, QColor::fromHsv((index * 60 + 40) % 360, 120, 200));
    p.fillRect(image.rect(), g);
    p.fillRect(QRect(0, 0, 480, 28), QColor(40, 40, 48));
    p.fillRect(QRect(20, 50, 200, 14), QColor(255, 255, 255, 200));
    p.fillRect(QRect(20, 76, 300, 10), QColor(255, 255, 255, 140));
    return image;
}

TEST(Screenshots, PickerPanelAndOutline)
{
    if (outputDir().isEmpty())
        GTEST_SKIP() << "ZOVA_SCREENSHOT_DIR not set";
    QDir().mkpath(outputDir());
    FakeFeed feed;
    const char* titles[][2] = { { "Inbox", "Mail" }, { "Quarterly report.ods", "LibreOffice" }, { "Terminal", "Xterm" },
        { "Release notes", "Text Editor" }, { "Settings", "Settings" } };
    QList<DesktopWindow> windows;
    for (int i = 0; i < 5; ++i)
        windows.append(window(WindowID(i + 1), QString::fromUtf8(titles[i][0]), QString::fromUtf8(titles[i][1])));
    feed.thumbnailer = [](const DesktopWindow& w) -> std::optional<QImage> {
        if (w.windowID == 5)
            return std::nullopt; // shows the other-workspace badge
        return fakeWindow(int(w.windowID));
    };
    feed.setListing(windows, { display(1, 1920, 1080, true), display(2, 2560, 1440, false) });

    QWidget host;
    host.setWindowTitle(QStringLiteral("Z.O.V.A"));
    host.resize(1100, 760);
    host.setAutoFillBackground(true);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    Settings settings;
    PermissionsService permissions(settings, [](bool) { return SessionGrants { true, true }; });
    WindowPickerView picker(feed, permissions, {}, {}, {}, &host);
    picker.show();
    ASSERT_TRUE(test::waitUntil([&] { return feed.thumbnailRequests.size() >= 5; }));
    QTest::qWait(300);
    EXPECT_TRUE(host.grab().save(outputDir() + "/recording-picker-windows.png"));
    picker.selectTab(PickerTab::Screens);
    QTest::qWait(200);
    EXPECT_TRUE(host.grab().save(outputDir() + "/recording-picker-screens.png"));
    host.hide();

    X11Client client;
    const Window target = client.createWindow(QRect(360, 220, 900, 560), QColor(236, 240, 245), "target");
    ASSERT_TRUE(test::waitUntil([&] { return client.isViewable(target); }));
    QTest::qWait(300);
    feed.frame = QRectF(client.rootGeometry(target));
    feed.setRecording(RecordingFeed::Phase::Armed, 83, 4, true);
    RecordingHUDController hud(x11::makeCompositingCheck());
    hud.present(feed, {}, {});
    RecordingOverlayController outline(x11::makeCompositingCheck());
    outline.present(feed);
    QTest::qWait(600);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint origin = hud.panel()->pos();
    EXPECT_TRUE(
        screen->grabWindow(0, origin.x() - 20, origin.y() - 16, 290, 88).save(outputDir() + "/recording-panel.png"));
    EXPECT_TRUE(screen->grabWindow(0, 0, 0, 1600, 900).save(outputDir() + "/recording-outline.png"));
    feed.setRecording(RecordingFeed::Phase::Paused, 95, 4, false);
    QTest::qWait(200);
    EXPECT_TRUE(screen->grabWindow(0, origin.x() - 20, origin.y() - 16, 290, 88)
                    .save(outputDir() + "/recording-panel-paused-not-tracking.png"));
    XDestroyWindow(client.display(), target);
    XSync(client.display(), False);
}

} // namespace
