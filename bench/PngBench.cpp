// PNG encoding of one 1920 x 1080 screenshot made of real application windows:
// ours beside plain libpng (zlib 6, filter None, one thread) and Qt's PNG writer.
#include "Bench.h"
#include "ScreenshotDesktop.h"
#include "platform/png/PngEncoder.h"

#include <QBuffer>
#include <QGuiApplication>
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

// libpng as its manual shows it, writing the image's RGB rows.
QByteArray plainLibpng(const QImage& rgb888)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(size_t(rgb888.height()));
    for (int y = 0; y < rgb888.height(); ++y)
        rows[size_t(y)] = const_cast<png_bytep>(rgb888.constScanLine(y));
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, append, nullptr);
        png_set_compression_level(png, 6);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_IHDR(png, info, png_uint_32(rgb888.width()), png_uint_32(rgb888.height()), 8, PNG_COLOR_TYPE_RGB,
            PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QImage screen = desktopOfScreenshots(QStringLiteral(ZOVA_SCREENSHOT_DIR));
    // What the pointer pass hands on: the same pixels in a format with alpha.
    const QImage afterPointerPass = screen.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const QImage rgb888 = screen.convertToFormat(QImage::Format_RGB888);
    constexpr int runs = 15;

    QByteArray ours;
    QByteArray peer;
    QByteArray qt;
    const double oursMs = bench::measure(
        "png encode 1920x1080, ours", runs, [&] { ours = *png::encodeScreenshot(screen); }, 25);
    const double peerMs = bench::measure(
        "png encode 1920x1080, libpng zlib 6 filter none", runs, [&] { peer = plainLibpng(rgb888); }, 0);
    const double qtMs = bench::measure(
        "png encode 1920x1080, Qt's writer", runs, [&] { qt = qtPngBytes(screen); }, 0);
    bench::measure(
        "png encode 1920x1080 after the pointer pass, ours", runs,
        [&] { (void)png::encodeScreenshot(afterPointerPass); }, 25);
    bench::figure("png ours / libpng", oursMs / peerMs, "x");
    bench::figure("png ours / Qt", oursMs / qtMs, "x");
    bench::figure("png size ours", double(ours.size()) / 1024, "KiB");
    bench::figure("png size libpng", double(peer.size()) / 1024, "KiB");
    bench::figure("png size Qt", double(qt.size()) / 1024, "KiB");
    bench::row("PNG encode per 1920x1080 screenshot, vs libpng zlib 6 filter none", oursMs, "ms", peerMs, "<= 25 ms");
    bench::row("PNG file size, vs Qt's writer", double(ours.size()) / 1024, "KiB", double(qt.size()) / 1024, "<= 1 x");
    return 0;
}
