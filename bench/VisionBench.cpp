#include "Bench.h"
#include "DesktopFrame.h"

#include "engine/VisionService.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>

#include <cstdio>

using zova::VisionService;

namespace {

QImage screenshot() { return desktopFrame(QImage::Format_ARGB32_Premultiplied); }

int threadCount()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QImage frame = screenshot();
    const VisionService vision;

    // Tall regions are shared with the pool's engines, started as a recording
    // starts them. The first call starts this thread's engine; later calls reuse it.
    VisionService::prepareRecognition();
    QSemaphore ready;
    VisionService::recognitionPool()->start([&ready] { ready.release(); });
    ready.acquire();
    std::optional<QString> label = vision.recognizeStepLabel({ 960, 546 }, frame);
    const int threadsBefore = threadCount();
    // Times the label of a click at `point`, prints it and the summary row.
    const auto timeClick = [&](const char* where, QPointF point) {
        const double ms = zova::bench::measure(
            qPrintable(QStringLiteral("recognizeStepLabel, 1920x1080, click %1").arg(QString::fromLatin1(where))), 15,
            [&] { label = vision.recognizeStepLabel(point, frame); }, 150);
        std::printf("  label: %s\n", label ? qPrintable(*label) : "(none)");
        zova::bench::row(qPrintable(QStringLiteral("OCR label, click %1, 1920x1080").arg(QString::fromLatin1(where))),
            ms, "ms", std::nullopt, "< 150 ms");
    };
    timeClick("in dense text", { 700, 546 });
    timeClick("on a toolbar", { 300, 25 });
    // Nothing holds the click: the lines around it compete.
    timeClick("beside dense text", { 1000, 546 });
    zova::bench::figure("threads added while recognising", double(threadCount() - threadsBefore), "threads");

    QImage cleaned;
    zova::bench::measure(
        "removeMirroringPointer, 1920x1080, dot painted out", 30,
        [&] {
            cleaned = vision.removeMirroringPointer(frame, { 960, 546 });
        },
        5);
    zova::bench::measure(
        "removeMirroringPointer, 1920x1080, nothing to do", 30,
        [&] {
            cleaned = vision.removeMirroringPointer(frame, { 700, 546 });
        },
        5);
    return 0;
}
