// PNG encoding of one 1920 x 1080 screenshot made of real application windows:
// ours beside plain libpng (zlib 6, filter None, one thread) given the same image,
// and Qt's PNG writer.
#include "Bench.h"
#include "LibpngReference.h"
#include "ScreenshotDesktop.h"
#include "platform/png/PngEncoder.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>

using namespace zova;

namespace {

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
            [&] { peer = libpngEncoded(input.image); });
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
