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
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "X11Client.h"

using namespace zova;

// Takes pictures of the recording windows and checks that each shows what it
// should; keeps them in $ZOVA_SCREENSHOT_DIR when that is set.
namespace {

QString outputDir()
{
    static QTemporaryDir scratch;
    const QString chosen = qEnvironmentVariable("ZOVA_SCREENSHOT_DIR");
    return chosen.isEmpty() ? scratch.path() : chosen;
}

// Share of the pixels that differ between two pictures of the same area.
double changedShare(const QImage& before, const QImage& after)
{
    if (before.size() != after.size() || before.isNull())
        return 0;
    qint64 changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    return double(changed) / double(qint64(before.width()) * before.height());
}

int colourCount(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

// Saves the picture and hands it back as read from the file.
QImage kept(const QPixmap& picture, const QString& name)
{
    const QString path = outputDir() + '/' + name;
    EXPECT_TRUE(picture.save(path)) << qPrintable(path);
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

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

// An application icon as a client publishes one: a rounded tile with a mark.
QImage fakeIcon(QColor colour)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 64, 64);
    g.setColorAt(0, colour.lighter(130));
    g.setColorAt(1, colour.darker(120));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 13, 13);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QRectF(20, 20, 24, 24));
    p.setBrush(colour.darker(110));
    p.drawEllipse(QRectF(27, 27, 10, 10));
    return image;
}

TEST(Screenshots, PickerPanelAndOutline)
{
    ASSERT_TRUE(QDir().mkpath(outputDir()));
    FakeFeed feed;
    const char* titles[][2] = { { "Inbox", "Mail" }, { "Quarterly report.ods", "LibreOffice" }, { "Terminal", "Xterm" },
        { "Release notes", "Text Editor" }, { "Settings", "Settings" }, { "Calculator", "Calculator" } };
    QList<DesktopWindow> windows;
    for (int i = 0; i < 6; ++i)
        windows.append(window(WindowID(i + 1), QString::fromUtf8(titles[i][0]), QString::fromUtf8(titles[i][1])));
    windows[5].isOnScreen = false;
    windows[5].isMinimized = true;
    // The last two have no thumbnail: one lies on another workspace, one is minimised; both show their icons.
    feed.icons.insert(5, fakeIcon(QColor(0x4f, 0x7c, 0xac)));
    feed.icons.insert(6, fakeIcon(QColor(0xe0, 0x7a, 0x2f)));
    feed.thumbnailer = [](const DesktopWindow& w) -> std::optional<QImage> {
        if (w.windowID >= 5)
            return std::nullopt;
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
    // The second row in view: the cards with icons.
    picker.findChild<QScrollArea*>(QStringLiteral("windowGrid"))->verticalScrollBar()->setValue(200);
    QTest::qWait(300);
    const QImage windowsTab = kept(host.grab(), "recording-picker-windows.png");
    EXPECT_EQ(windowsTab.size(), host.size());
    EXPECT_GT(colourCount(windowsTab), 50) << "the window cards are drawn";
    picker.selectTab(PickerTab::Screens);
    QTest::qWait(200);
    const QImage screensTab = kept(host.grab(), "recording-picker-screens.png");
    EXPECT_GT(changedShare(windowsTab, screensTab), 0.05) << "the screens tab shows other cards";
    host.hide();

    X11Client client;
    const Window target = client.createWindow(QRect(360, 220, 900, 560), QColor(236, 240, 245), "target");
    ASSERT_TRUE(test::waitUntil([&] { return client.isViewable(target); }));
    QTest::qWait(300);
    const QRect targetRect = client.rootGeometry(target);
    feed.frame = QRectF(targetRect);
    feed.setRecording(RecordingFeed::Phase::Armed, 83, 4, true);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QImage bare = screen->grabWindow(0, 0, 0, 1600, 900).toImage().convertToFormat(QImage::Format_RGB32);
    RecordingHUDController hud(x11::makeCompositingCheck());
    hud.present(feed, {}, {});
    RecordingOverlayController outline(x11::makeCompositingCheck());
    outline.present(feed);
    QTest::qWait(600);
    const QRect panelArea(hud.panel()->pos() - QPoint(20, 16), QSize(290, 88));
    const QImage panel = kept(screen->grabWindow(0, panelArea.x(), panelArea.y(), 290, 88), "recording-panel.png");
    EXPECT_GT(changedShare(bare.copy(panelArea), panel), 0.3) << "the control panel is on screen";
    const QImage screenWithOutline = kept(screen->grabWindow(0, 0, 0, 1600, 900), "recording-outline.png");
    // The ring lies on the target's edge; the target's middle stays as it was.
    const QRect edge(targetRect.x(), targetRect.y() + targetRect.height() / 2 - 20, 3, 40);
    EXPECT_GT(changedShare(bare.copy(edge), screenWithOutline.copy(edge)), 0.5) << "no outline on the target's edge";
    const QRect middle(targetRect.center() - QPoint(20, 20), QSize(40, 40));
    EXPECT_EQ(changedShare(bare.copy(middle), screenWithOutline.copy(middle)), 0.0);
    feed.setRecording(RecordingFeed::Phase::Paused, 95, 4, false);
    QTest::qWait(200);
    const QImage pausedPanel
        = kept(screen->grabWindow(0, panelArea.x(), panelArea.y(), 290, 88), "recording-panel-paused-not-tracking.png");
    EXPECT_GT(changedShare(panel, pausedPanel), 0.01) << "the paused panel says so";
    XDestroyWindow(client.display(), target);
    XSync(client.display(), False);
}

} // namespace
