// PNG encoding of one 1920 x 1080 screenshot made of real application windows:
// ours beside plain libpng (zlib 6, filter None, one thread) given the same image,
// and Qt's PNG writer.
#include "Bench.h"
#include "ScreenshotDesktop.h"
#include "platform/png/PngEncoder.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>

#include <png.h>

#include <csetjmp>
#include <vector>

using namespace zova;

namespace {

void append(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

// libpng as its manual shows it, writing the image's opaque 4-byte pixels as RGB
// rows: its own transforms drop the fourth byte and, for Qt's 32-bit formats on
// this machine, swap blue and red.
QByteArray plainLibpng(const QImage& opaque)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(size_t(opaque.height()));
    for (int y = 0; y < opaque.height(); ++y)
        rows[size_t(y)] = const_cast<png_bytep>(opaque.constScanLine(y));
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, append, nullptr);
        png_set_compression_level(png, 6);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_IHDR(png, info, png_uint_32(opaque.width()), png_uint_32(opaque.height()), 8, PNG_COLOR_TYPE_RGB,
            PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_write_info(png, info);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        if (opaque.format() == QImage::Format_RGB32)
            png_set_bgr(png);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

bool decodesTo(const QByteArray& bytes, const QImage& image)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "png");
    return reader.read().convertToFormat(QImage::Format_RGB32) == image.convertToFormat(QImage::Format_RGB32);
}

double kib(const QByteArray& bytes) { return double(bytes.size()) / 1024; }

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QImage screen = desktopOfScreenshots(QStringLiteral(ZOVA_SCREENSHOT_DIR));
    // What the pointer pass hands on, and so what a recording saves: the same
    // pixels in a format with alpha.
    const QImage afterPointerPass = screen.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    constexpr int runs = 15;

    struct Input {
        const char* what;
        QImage image;
    };
    for (const Input& input :
        { Input { "RGB32 capture", screen }, Input { "after the pointer pass", afterPointerPass } }) {
        QByteArray ours;
        QByteArray peer;
        const QString oursName = QStringLiteral("png encode 1920x1080, %1, ours").arg(QLatin1String(input.what));
        const QString peerName
            = QStringLiteral("png encode 1920x1080, %1, libpng zlib 6 filter none").arg(QLatin1String(input.what));
        const bench::Comparison c = bench::compare(
            qPrintable(oursName), qPrintable(peerName), runs, [&] { ours = *png::encodeScreenshot(input.image); },
            [&] { peer = plainLibpng(input.image); });
        if (!decodesTo(ours, input.image) || !decodesTo(peer, input.image))
            std::printf("a PNG does not decode to its image\n");
        bench::figure("  size ours", kib(ours), "KiB");
        bench::figure("  size libpng", kib(peer), "KiB");
        bench::row(qPrintable(QStringLiteral("PNG encode per 1920x1080 screenshot, %1, vs libpng zlib 6 on one thread")
                                  .arg(QLatin1String(input.what))),
            c.ours, c.peer, "< 10 ms, cpu <= 0.7 x");
        bench::row(qPrintable(QStringLiteral("PNG file size, %1, vs libpng zlib 6").arg(QLatin1String(input.what))),
            kib(ours), "KiB", kib(peer), "<= 1 x");
    }

    QByteArray ours = *png::encodeScreenshot(screen);
    QByteArray qt;
    bench::measure(
        "png encode 1920x1080, Qt's writer", runs, [&] { qt = qtPngBytes(screen); }, 0);
    bench::figure("png size Qt", kib(qt), "KiB");
    bench::row("PNG file size, vs Qt's writer", kib(ours), "KiB", kib(qt), "<= 1 x");
    return 0;
}
