#include "platform/png/PngEncoder.h"
#include "LibpngReference.h"
#include "ScreenshotDesktop.h"
#include "engine/LogCapture.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"

#include <zlib.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

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

// The file's image data: its IDAT chunks joined and inflated by zlib, which checks
// that they are one whole zlib stream with the right Adler-32. Nothing when zlib
// refuses it or the length is not the one the header asks for.
std::optional<QByteArray> imageData(const QByteArray& png, int channels)
{
    QByteArray idat;
    quint32 width = 0;
    quint32 height = 0;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "IHDR") {
            width = qFromBigEndian<quint32>(png.constData() + at + 8);
            height = qFromBigEndian<quint32>(png.constData() + at + 12);
        } else if (type == "IDAT") {
            idat += png.mid(at + 8, qsizetype(length));
        }
        at += 12 + qsizetype(length);
    }
    QByteArray raw(qsizetype(height) * (qsizetype(width) * channels + 1) + 1, Qt::Uninitialized);
    uLongf rawLength = uLongf(raw.size());
    if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawLength, reinterpret_cast<const Bytef*>(idat.constData()),
            uLong(idat.size()))
        != Z_OK)
        return std::nullopt;
    if (rawLength != uLongf(raw.size() - 1))
        return std::nullopt;
    raw.chop(1);
    return raw;
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
        { "screen in bands, smallest", screen, { 12, png::RowFilter::None, 4 } },
        { "noise in bands, filter Up", noise(1000, 1100, QImage::Format_RGB32), { 6, png::RowFilter::Up, 4 } },
        { "noise in bands, filter Sub", noise(700, 1500, QImage::Format_ARGB32), { 1, png::RowFilter::Sub, 3 } },
        { "noise in bands, stored", noise(700, 1600, QImage::Format_RGB32), { 0, png::RowFilter::None, 8 } },
        { "noise in bands, fastest", noise(1000, 1100, QImage::Format_RGB32), { 1, png::RowFilter::None, 5 } },
        { "odd size in two bands", noise(1001, 743, QImage::Format_RGB32), {} },
        { "more bands wanted than rows", noise(600000, 2, QImage::Format_RGB32), {} },
        { "wide and short", noise(3001, 130, QImage::Format_RGB32), {} },
        { "one pixel", noise(1, 1, QImage::Format_RGB32), {} },
        { "grey levels", noise(50, 40, QImage::Format_Grayscale8), {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LogCapture log("zova.platform");
        const auto png = png::encode(c.image, c.options);
        ASSERT_TRUE(png.has_value());
        EXPECT_TRUE(log.lines().isEmpty()) << "bands not joined: " << log.lines().join(' ').toStdString();
        const QImage expected = c.image.convertToFormat(QImage::Format_RGB32);
        const QImage back = decoded(*png);
        ASSERT_FALSE(back.isNull());
        EXPECT_FALSE(back.hasAlphaChannel());
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), expected);
        EXPECT_EQ(libpngDecoded(*png).convertToFormat(QImage::Format_RGB32), expected);
        EXPECT_TRUE(imageData(*png, 3).has_value());
    }
}

TEST(PngEncoderTest, TranslucentPixelsKeepTheirAlpha)
{
    // Large enough for two bands, with translucent pixels in each.
    QImage image = noise(900, 800, QImage::Format_ARGB32);
    image.setPixel(7, 250, qRgba(200, 100, 50, 128));
    image.setPixel(8, 250, qRgba(0, 0, 0, 0));
    image.setPixel(899, 799, qRgba(10, 20, 30, 1));
    for (const QImage& source : { image, image.convertToFormat(QImage::Format_ARGB32_Premultiplied) }) {
        const auto png = png::encode(source);
        ASSERT_TRUE(png.has_value());
        const QImage back = decoded(*png);
        EXPECT_TRUE(back.hasAlphaChannel());
        EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), source.convertToFormat(QImage::Format_ARGB32));
        EXPECT_EQ(
            libpngDecoded(*png).convertToFormat(QImage::Format_ARGB32), source.convertToFormat(QImage::Format_ARGB32));
        EXPECT_TRUE(imageData(*png, 4).has_value());
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

TEST(PngEncoderTest, ScreenshotsAreNoLargerThanLibpngAtLevelSix)
{
    const QImage screen = desktopOfScreenshots(QStringLiteral(ZOVA_SCREENSHOT_DIR));
    for (const QImage& image : { screen, screen.convertToFormat(QImage::Format_RGBA8888_Premultiplied) }) {
        const auto ours = png::encodeScreenshot(image);
        ASSERT_TRUE(ours.has_value());
        EXPECT_LE(ours->size(), libpngEncoded(image).size());
    }
    // Window shots: a few may come out a little larger, none by more than a
    // hundredth, and all of them together are smaller.
    const QDir shots(QStringLiteral(ZOVA_SCREENSHOT_DIR));
    qsizetype oursTotal = 0;
    qsizetype libpngTotal = 0;
    for (const QString& name : shots.entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name)) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = QImage(shots.filePath(name)).convertToFormat(QImage::Format_RGB32);
        const auto ours = png::encodeScreenshot(image);
        ASSERT_TRUE(ours.has_value());
        const qsizetype reference = libpngEncoded(image).size();
        ASSERT_GT(reference, 0);
        EXPECT_LE(double(ours->size()), 1.01 * double(reference));
        oursTotal += ours->size();
        libpngTotal += reference;
    }
    EXPECT_GT(libpngTotal, 0);
    EXPECT_LE(oursTotal, libpngTotal);
}

TEST(PngEncoderTest, ImagesEncodedAtOnceFromSeveralThreadsKeepTheirOwnPixels)
{
    // Each thread's image differs, in size too, so buffers shared by mistake show.
    std::vector<QImage> images;
    for (int i = 0; i < 4; ++i)
        images.push_back(noise(800 + 37 * i, 700 + 91 * i, QImage::Format_RGB32).mirrored(i % 2 == 1, i >= 2));
    std::vector<std::optional<QByteArray>> encoded(images.size());
    {
        std::vector<std::jthread> threads;
        for (size_t i = 0; i < images.size(); ++i)
            threads.emplace_back([&, i] {
                for (int round = 0; round < 3; ++round)
                    encoded[i] = png::encode(images[i]);
            });
    }
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(encoded[i].has_value());
        EXPECT_EQ(decoded(*encoded[i]).convertToFormat(QImage::Format_RGB32), images[i]);
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
