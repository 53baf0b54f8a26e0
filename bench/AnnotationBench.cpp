// The redaction of blur marks on 1920x1080 and 3840x2160 screenshots, and the
// painting of twenty marks over a screenshot.
#include "Bench.h"
#include "MarkScene.h"

#include "annotation/AnnotationPainter.h"
#include "annotation/Redaction.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

using namespace zova;
using Kind = StepAnnotation::Kind;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QImage hd = textScreenshot(1920, 1080), uhd = textScreenshot(3840, 2160);
    const QList<StepAnnotation> field = { benchMark(Kind::Blur, 0.3, 0.4, 0.3, 0.05) };
    const QList<StepAnnotation> large = { benchMark(Kind::Blur, 0.15, 0.1, 0.7, 0.6) };
    // The burned-in blur took about 54 ms per 1920x1080 step on the GUI thread
    // before; the redaction runs on worker threads, and these are its costs there.
    bench::measure(
        "redaction, 1920x1080, one password-field mark", 20, [&] { (void)annotation::redacted(hd, field); }, 54);
    bench::measure(
        "redaction, 1920x1080, one mark over half the image", 10, [&] { (void)annotation::redacted(hd, large); }, 300);
    bench::measure(
        "redaction, 3840x2160, one mark over half the image", 5, [&] { (void)annotation::redacted(uhd, large); }, 1200);

    QList<StepAnnotation> twenty;
    for (int i = 0; i < 20; ++i)
        twenty.append(benchMark(Kind(1 + i % 3), 0.04 * i, 0.03 * i, 0.15, 0.1));
    QImage frame(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    bench::measure(
        "painting 20 arrows, highlights and labels over 1800x1013", 20,
        [&] {
            QPainter p(&frame);
            annotation::paintAnnotations(p, QRectF(60, 32, 1800, 1013), twenty);
        },
        16);
    return 0;
}
