#include "platform/png/PngEncoder.h"
#include "ScreenshotDesktop.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <gtest/gtest.h>

using namespace zova;

namespace {

QImage decoded(const QByteArray& png)
{
    QImageReader reader;
    QBuffer buffer;
    buffer.setData(png);
    reader.setDevice(&buffer);
    reader.setAutoTransform(false);
    return reader.read();
}

// A noisy picture whose every row differs, so bands joined wrongly show.
QImage noise(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = (x + y) % 5 == 0 ? qRgb(x & 255, y & 255, 90) : (0xff000000u | (state >> 8));
        }
    }
    return image.convertToFormat(format);
}

} // namespace

TEST(PngEncoderTest, OpaqueImagesRoundTripAsRgbWithoutAlpha)
{
    const QImage screen = desktopOfScreenshots(QStringLiteral(ZOVA_SCREENSHOT_DIR));
    struct Case {
        const char* what;
        QImage image;
        png::EncodeOptions options;
    };
    const Case cases[] = {
        { "screen, RGB32", screen, {} },
        { "screen after the pointer pass", screen.convertToFormat(QImage::Format_RGBA8888_Premultiplied), {} },
        { "screen, ARGB32 premultiplied", screen.convertToFormat(QImage::Format_ARGB32_Premultiplied), {} },
        { "screen, RGB888", screen.convertToFormat(QImage::Format_RGB888), {} },
        { "screen, one thread", screen, { 6, png::RowFilter::None, 1 } },
        { "noise in bands, filter Up", noise(333, 1000, QImage::Format_RGB32), { 6, png::RowFilter::Up, 4 } },
        { "noise in bands, filter Sub", noise(333, 1000, QImage::Format_ARGB32), { 1, png::RowFilter::Sub, 3 } },
        { "noise, stored", noise(64, 700, QImage::Format_RGB32), { 0, png::RowFilter::None, 8 } },
        { "one pixel", noise(1, 1, QImage::Format_RGB32), {} },
        { "grey levels", noise(50, 40, QImage::Format_Grayscale8), {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto png = png::encode(c.image, c.options);
        ASSERT_TRUE(png.has_value());
        const QImage back = decoded(*png);
        ASSERT_FALSE(back.isNull());
        EXPECT_FALSE(back.hasAlphaChannel());
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), c.image.convertToFormat(QImage::Format_RGB32));
    }
}

TEST(PngEncoderTest, TranslucentPixelsKeepTheirAlpha)
{
    QImage image = noise(120, 300, QImage::Format_ARGB32);
    image.setPixel(7, 250, qRgba(200, 100, 50, 128));
    image.setPixel(8, 250, qRgba(0, 0, 0, 0));
    for (const QImage& source : { image, image.convertToFormat(QImage::Format_ARGB32_Premultiplied) }) {
        const auto png = png::encode(source);
        ASSERT_TRUE(png.has_value());
        const QImage back = decoded(*png);
        EXPECT_TRUE(back.hasAlphaChannel());
        EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), source.convertToFormat(QImage::Format_ARGB32));
    }
    EXPECT_FALSE(png::isOpaque(image));
    EXPECT_TRUE(png::isOpaque(noise(10, 10, QImage::Format_ARGB32)));
}

TEST(PngEncoderTest, ScreenshotsAreNoLargerThanQtsEncoding)
{
    const QImage screen = desktopOfScreenshots(QStringLiteral(ZOVA_SCREENSHOT_DIR));
    const QImage single(QStringLiteral(ZOVA_SCREENSHOT_DIR "/gitk-light.png"));
    ASSERT_FALSE(single.isNull());
    for (const QImage& image : { screen, screen.convertToFormat(QImage::Format_RGBA8888_Premultiplied),
             single.convertToFormat(QImage::Format_RGB32) }) {
        const auto ours = png::encodeScreenshot(image);
        ASSERT_TRUE(ours.has_value());
        EXPECT_LE(ours->size(), qtPngBytes(image).size());
    }
}

TEST(PngEncoderTest, NullImageIsNoFile) { EXPECT_FALSE(png::encode(QImage()).has_value()); }

TEST(PngEncoderTest, StorageWritesWhatTheInstalledEncoderMakes)
{
    auto& storage = zova::test::storage();
    const QImage screen = desktopOfScreenshots(QStringLiteral(ZOVA_SCREENSHOT_DIR))
                              .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    storage.setEncoder(png::encodeScreenshot);
    const auto saved = storage.saveScreenshot(screen);
    ASSERT_TRUE(saved.hasValue());
    QFile file(*storage.pathFor(*saved));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), *png::encodeScreenshot(screen));
    const QImage back = storage.loadScreenshot(*saved);
    EXPECT_FALSE(back.hasAlphaChannel());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), screen.convertToFormat(QImage::Format_RGB32));

    // An encoder that fails leaves no file behind.
    const int before = int(QDir(storage.screenshotsDirectory()).entryList(QDir::Files | QDir::Hidden).size());
    storage.setEncoder([](const QImage&) -> std::optional<QByteArray> { return std::nullopt; });
    EXPECT_FALSE(storage.saveScreenshot(screen).hasValue());
    EXPECT_EQ(QDir(storage.screenshotsDirectory()).entryList(QDir::Files | QDir::Hidden).size(), before);
    storage.setEncoder(nullptr);
}
