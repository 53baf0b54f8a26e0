#include "Bench.h"

#include "engine/VisionService.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

using zova::VisionService;

namespace {

// A 1920 x 1080 desktop-like frame: a toolbar, a sidebar of labels and a page of text.
QImage screenshot()
{
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(250, 250, 252));
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    p.setFont(font);
    p.fillRect(0, 0, 1920, 48, QColor(232, 234, 240));
    p.setPen(QColor(30, 30, 30));
    const char* toolbar[] = {"File", "Edit", "View", "Insert", "Format", "Tools", "Help"};
    for (int i = 0; i < 7; ++i)
        p.drawText(24 + 90 * i, 30, QString::fromUtf8(toolbar[i]));
    for (int i = 0; i < 24; ++i)
        p.drawText(24, 90 + 38 * i, QStringLiteral("Sidebar item %1").arg(i + 1));
    for (int i = 0; i < 40; ++i)
        p.drawText(320, 90 + 24 * i,
                   QStringLiteral("Paragraph line %1 with a few more words to read across the page").arg(i + 1));
    p.setBrush(QColor(250, 250, 250));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(960, 546), 12, 12);
    return image;
}

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

    // The first call starts this thread's engine; later calls reuse it.
    std::optional<QString> label = vision.recognizeStepLabel({960, 546}, frame);
    const int threadsBefore = threadCount();
    zova::bench::measure("recognizeStepLabel, 1920x1080, click in text", 15,
                         [&] { label = vision.recognizeStepLabel({700, 546}, frame); }, 150);
    std::printf("  label: %s\n", label ? qPrintable(*label) : "(none)");
    zova::bench::measure("recognizeStepLabel, 1920x1080, click on toolbar", 15,
                         [&] { label = vision.recognizeStepLabel({300, 25}, frame); }, 150);
    std::printf("  label: %s\n", label ? qPrintable(*label) : "(none)");
    zova::bench::figure("threads added while recognising", double(threadCount() - threadsBefore), "threads");

    QImage cleaned;
    zova::bench::measure("removeMirroringPointer, 1920x1080, dot painted out", 30,
                         [&] { cleaned = vision.removeMirroringPointer(frame, {960, 546}); }, 5);
    zova::bench::measure("removeMirroringPointer, 1920x1080, nothing to do", 30,
                         [&] { cleaned = vision.removeMirroringPointer(frame, {700, 546}); }, 5);
    return 0;
}
