#include "VideoFixture.h"

#include "export/VideoFrameRenderer.h"
#include "export/VideoFrameSource.h"

#include <QFontMetricsF>

#include <cmath>

using namespace zova;

namespace {

int channelDistance(QRgb a, QRgb b)
{
    return std::max({ std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
}

VideoFrameSource sourceOf(const char* bg = "f5f3ef", double cx = 0.5, double cy = 0.5)
{
    return { {}, {}, cx, cy, QStringLiteral("Click Save"), QString::fromLatin1(bg) };
}

} // namespace

TEST(VideoFrameRenderTest, BackgroundIsTheResolvedColour)
{
    // The editor's preview reads the same texts the same way: white for anything
    // that is not six hexadecimal digits.
    struct Row {
        const char* hex;
        QRgb expected;
    };
    const QImage shot = VideoFixture::screenshot(200, 200);
    for (const Row& r :
        { Row { "ff0000", qRgb(255, 0, 0) }, Row { "#ff0000", qRgb(255, 0, 0) }, Row { " 0A0B0C\n", qRgb(10, 11, 12) },
            Row { "ff00zz", qRgb(255, 255, 255) }, Row { "0x00ff00", qRgb(255, 255, 255) },
            Row { "1ff3d8a", qRgb(255, 255, 255) }, Row { "", qRgb(255, 255, 255) } }) {
        const auto frame = VideoFrameRenderer::renderFrame(sourceOf(r.hex), shot, 1, 1, {});
        ASSERT_TRUE(frame.has_value()) << r.hex;
        EXPECT_LE(channelDistance(frame->pixel(5, 5), r.expected), 1) << r.hex;
        EXPECT_LE(channelDistance(frame->pixel(1914, 500), r.expected), 1) << r.hex;
    }
    EXPECT_NEAR(VideoFrameRenderer::luminance("ffffff"), 1.0, 1e-6);
    EXPECT_NEAR(VideoFrameRenderer::luminance("ff0000"), 0.299, 1e-6);
    EXPECT_NEAR(VideoFrameRenderer::luminance("#ff0000"), 0.299, 1e-6);
    EXPECT_NEAR(VideoFrameRenderer::luminance("zz"), 1.0, 1e-6) << "read as white";
    EXPECT_EQ(VideoFrameRenderer::luminance("00cc44"), 0.5) << "computed from the whole bytes";
}

TEST(VideoFrameGeometryTest, FitsScreenshotsOfThreeAspectRatios)
{
    struct Row {
        const char* name;
        QSizeF image;
        QRectF expected; // top-left origin
    };
    for (const Row& r : { Row { "square", { 500, 500 }, { 546, 32, 828, 828 } },
             Row { "wide", { 3840, 1080 }, { 60, 32 + (828 - 506.25) / 2, 1800, 506.25 } },
             Row { "tall", { 1080, 1920 }, { 60 + (1800 - 465.75) / 2, 32, 465.75, 828 } },
             Row { "exactly the area", { 1800, 828 }, { 60, 32, 1800, 828 } } }) {
        const QRectF got = VideoFrameRenderer::screenshotRect(r.image, 1920, 1080);
        EXPECT_NEAR(got.x(), r.expected.x(), 1e-9) << r.name;
        EXPECT_NEAR(got.y(), r.expected.y(), 1e-9) << r.name;
        EXPECT_NEAR(got.width(), r.expected.width(), 1e-9) << r.name;
        EXPECT_NEAR(got.height(), r.expected.height(), 1e-9) << r.name;
        // Bottom edge of the area is 220 px above the frame's bottom.
        EXPECT_LE(got.bottom(), 1080 - 220 + 1e-9) << r.name;
    }
}

TEST(VideoFrameGeometryTest, CaptionBandShadeFollowsBackgroundAroundHalf)
{
    struct Row {
        const char* hex;
        double alpha;
    };
    // 00cc44, fe521e and ff33bb lie at exactly half luminance: only what lies above it
    // gets the lighter band.
    for (const Row& r : { Row { "ffffff", 0.92 }, Row { "808080", 0.92 }, Row { "7f7f7f", 0.85 },
             Row { "000000", 0.85 }, Row { "#ffffff", 0.92 }, Row { "#000000", 0.85 }, Row { "not a colour", 0.92 },
             Row { "00cc44", 0.85 }, Row { "fe521e", 0.85 }, Row { "ff33bb", 0.85 }, Row { "00cc45", 0.92 } }) {
        const QColor c = VideoFrameRenderer::captionBandColor(QString::fromLatin1(r.hex));
        EXPECT_NEAR(c.alphaF(), r.alpha, 1e-3) << r.hex;
        EXPECT_NEAR(c.redF(), r.alpha > 0.9 ? 0.10 : 0.04, 1e-3) << r.hex;
    }
}

TEST(VideoFrameRenderTest, DrawsBackgroundScreenshotMarkerAndBand)
{
    const QImage shot = VideoFixture::screenshot(400, 400, QColor(40, 120, 200));
    VideoExportOptions options;
    const auto frame = VideoFrameRenderer::renderFrame(sourceOf("ffffff", 0.25, 0.75), shot, 2, 5, options);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->size(), QSize(1920, 1080));
    EXPECT_EQ(frame->format(), QImage::Format_ARGB32_Premultiplied);
    // Background far from the shadow.
    EXPECT_LE(channelDistance(frame->pixel(5, 5), qRgb(255, 255, 255)), 1);
    // The screenshot fills 828 x 828 at (546, 32): its cell colour inside, the shadow just outside.
    const QRectF rect = VideoFrameRenderer::screenshotRect(shot.size(), 1920, 1080);
    EXPECT_LE(channelDistance(frame->pixel(int(rect.left()) + 30, int(rect.top()) + 200), qRgb(40, 120, 200)), 12);
    const QRgb shadow = frame->pixel(int(rect.left()) - 6, int(rect.center().y()));
    EXPECT_LT(qRed(shadow), 230) << "soft shadow beside the screenshot";
    EXPECT_GT(qRed(shadow), 60);
    EXPECT_LE(channelDistance(frame->pixel(int(rect.left()) - 100, int(rect.center().y())), qRgb(255, 255, 255)), 2);
    // The inner ring is opaque accent, 11 px from the hotspot.
    const QPointF c = VideoFrameRenderer::markerCenter(rect, 0.25, 0.75);
    EXPECT_NEAR(c.x(), 546 + 207, 1e-9);
    EXPECT_NEAR(c.y(), 32 + 621, 1e-9);
    EXPECT_LE(channelDistance(frame->pixel(int(c.x() + 11), int(c.y())), qRgb(255, 61, 138)), 40);
    // Caption band over a light background: 92 % of (0.10, 0.08, 0.13) over white.
    const QRgb band = frame->pixel(3, 1075);
    EXPECT_NEAR(qRed(band), 0.92 * 25.5 + 0.08 * 255, 2.5);
    // White text somewhere on the description's baseline row, dimmer counter text lower down.
    int brightTitle = 0, brightCounter = 0;
    for (int x = 0; x < 1920; ++x) {
        brightTitle += qRed(frame->pixel(x, 1080 - 86 - 10)) > 200;
        brightCounter = std::max(brightCounter, qRed(frame->pixel(x, 1080 - 36 - 6)));
    }
    EXPECT_GT(brightTitle, 20);
    EXPECT_GT(brightCounter, 100);
    EXPECT_LT(brightCounter, 180) << "counter is white at 55 %";
}

TEST(VideoFrameRenderTest, MarkerSitsOnCornersForExtremeHotspots)
{
    const QImage shot = VideoFixture::screenshot(640, 360);
    const QRectF rect = VideoFrameRenderer::screenshotRect(shot.size(), 1920, 1080);
    EXPECT_EQ(VideoFrameRenderer::markerCenter(rect, 0, 0), rect.topLeft());
    EXPECT_EQ(VideoFrameRenderer::markerCenter(rect, 1, 1), rect.bottomRight());
    // Out-of-range hotspots are drawn where they fall: the ring shows on the background.
    const auto frame = VideoFrameRenderer::renderFrame(sourceOf("000000", -0.1, 0.5), shot, 1, 1, {});
    ASSERT_TRUE(frame.has_value());
    const QPointF c = VideoFrameRenderer::markerCenter(rect, -0.1, 0.5);
    EXPECT_LE(channelDistance(frame->pixel(int(c.x()), int(c.y() + 11)), qRgb(255, 61, 138)), 40);
}

TEST(VideoFrameRenderTest, LongDescriptionsEndInAnEllipsis)
{
    const QString shortText = QStringLiteral("Open the settings");
    EXPECT_EQ(VideoFrameRenderer::captionLine(shortText, 1920), shortText);
    const QString longText = QString(QStringLiteral("Click the very long toolbar button ")).repeated(10);
    const QString line = VideoFrameRenderer::captionLine(longText, 1920);
    EXPECT_TRUE(line.endsWith(QChar(0x2026))) << line.toStdString();
    EXPECT_LT(line.size(), longText.size());
    QFont f(QStringLiteral("Nimbus Sans"));
    f.setPixelSize(38);
    f.setBold(true);
    EXPECT_LE(QFontMetricsF(f).horizontalAdvance(line), 1800);
}

TEST(VideoFrameRenderTest, NoFrameForImpossibleSizes)
{
    VideoExportOptions options;
    options.width = 0;
    EXPECT_FALSE(VideoFrameRenderer::renderFrame(sourceOf(), VideoFixture::screenshot(10, 10), 1, 1, options));
    EXPECT_FALSE(VideoFrameRenderer::renderFrame(sourceOf(), QImage(), 1, 1, {}));
    EXPECT_FALSE(VideoFrameRenderer::renderFrame(sourceOf(), 1, 1, {})) << "a source without a file";
}

TEST_F(VideoFixture, FrameSourcesKeepOrderAndSkipUnusableSteps)
{
    m_guide->setVideoBackgroundHex(QStringLiteral("101010"));
    Step* a = addStep(screenshot(100, 50), 0.1, 0.2);
    a->setUserDescription(QString()); // present but empty wins over the label
    a->setOcrLabel(QStringLiteral("Label A"));
    Step* b = addStep(QImage()); // no file name
    Step* c = addStep(screenshot(60, 60));
    c->setOcrLabel(QStringLiteral("Label C"));
    c->setVideoBackgroundHex(QStringLiteral("abcdef"));
    Step* d = addStep(screenshot(60, 60));
    d->setScreenshotFilename(QStringLiteral("missing.png"));
    Step* e = addStep(screenshot(80, 40));
    e->setOrder(42); // the counter text uses the position, not the order
    ASSERT_TRUE(b && c && d && e);

    const auto frames = loadVideoFrames(zova::test::storage(), m_guide->orderedSteps(), m_guide->videoBackgroundHex());
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[0].description, QString());
    EXPECT_EQ(frames[0].backgroundHex, QStringLiteral("101010"));
    EXPECT_EQ(frames[0].clickX, 0.1);
    EXPECT_EQ(frames[0].clickY, 0.2);
    EXPECT_EQ(loadFrameScreenshot(frames[0]).size(), QSize(100, 50));
    EXPECT_EQ(frames[1].description, QStringLiteral("Label C"));
    EXPECT_EQ(frames[1].backgroundHex, QStringLiteral("abcdef"));
    EXPECT_EQ(frames[2].description, QStringLiteral("Step 5"));

    m_guide->setVideoBackgroundHex(std::nullopt);
    EXPECT_EQ(loadVideoFrames(zova::test::storage(), m_guide->orderedSteps(), std::nullopt)[0].backgroundHex,
        QStringLiteral("f5f3ef"));
}

TEST_F(VideoFixture, BlurMarksAreRedactedInTheDrawnFrame)
{
    const QImage shot = screenshot(400, 200);
    Step* s = addStep(shot);
    StepAnnotation blur;
    blur.kind = StepAnnotation::Kind::Blur;
    blur.x = 0.5;
    blur.y = 0;
    blur.width = 0.5;
    blur.height = 1;
    StepAnnotation arrow;
    arrow.kind = StepAnnotation::Kind::Arrow;
    arrow.width = 0.4;
    arrow.height = 0.4;
    s->setAnnotations({ arrow, blur });

    const auto frames = loadVideoFrames(zova::test::storage(), m_guide->orderedSteps(), std::nullopt);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].annotations, (QList<StepAnnotation> { arrow, blur }));
    const auto marked = VideoFrameRenderer::renderFrame(frames[0], 1, 1, {});
    VideoFrameSource bare = frames[0];
    bare.annotations.clear();
    const auto plain = VideoFrameRenderer::renderFrame(bare, 1, 1, {});
    ASSERT_TRUE(marked && plain);
    const QRectF r = VideoFrameRenderer::screenshotRect(shot.size(), 1920, 1080);
    const auto at
        = [&](double fx, double fy) { return QPoint(int(r.left() + fx * r.width()), int(r.top() + fy * r.height())); };
    // Under the blur the cells' contrast is gone; away from both marks every pixel is as drawn without them.
    const auto spread = [&](const QImage& img) {
        double sum = 0, sq = 0;
        int n = 0;
        for (int y = at(0, 0.05).y(); y < at(0, 0.95).y(); ++y)
            for (int x = at(0.55, 0).x(); x < at(0.95, 0).x(); ++x, ++n) {
                const double v = qRed(img.pixel(x, y));
                sum += v;
                sq += v * v;
            }
        return std::sqrt(sq / n - (sum / n) * (sum / n));
    };
    EXPECT_GT(spread(*plain), 60);
    EXPECT_LT(spread(*marked), spread(*plain) / 4);
    for (int y = at(0, 0.6).y(); y < at(0, 0.95).y(); ++y)
        for (int x = at(0.05, 0).x(); x < at(0.4, 0).x(); ++x)
            ASSERT_EQ(marked->pixel(x, y), plain->pixel(x, y)) << x << "," << y;
}
