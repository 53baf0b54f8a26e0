#include "annotation/AnnotationGeometry.h"
#include "annotation/AnnotationPainter.h"

#include "Marks.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>

using namespace zova;
using namespace zova::annotation;
using zova::test::mark;
using Kind = StepAnnotation::Kind;

namespace {

int distance(QRgb a, QRgb b)
{
    return std::max({ std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
}

// The marks painted over a white 400 x 300 canvas whose screenshot sits at (50, 50, 300, 200).
const QRectF target(50, 50, 300, 200);
QImage painted(const QList<StepAnnotation>& marks, const QImage& redacted = {})
{
    QImage canvas(400, 300, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    paintAnnotations(p, target, marks, redacted);
    return canvas;
}

QPoint at(double fx, double fy) { return QPoint(int(50 + fx * 300), int(50 + fy * 200)); }

} // namespace

TEST(PainterTest, EachKindAtItsPlaceInItsColour)
{
    struct Probe {
        QPoint point;
        QRgb colour;
        int tolerance;
    };
    struct Row {
        const char* name;
        StepAnnotation mark;
        QList<Probe> probes;
    };
    const QRgb white = qRgb(255, 255, 255);
    const QList<Row> rows = {
        { "highlight: tinted inside, its colour on the border", mark(Kind::Highlight, QRectF(0.2, 0.2, 0.4, 0.4)),
            { { at(0.4, 0.4), qRgb(209, 244, 220), 6 },
                { QPoint(int(at(0.2, 0.4).x()) + 1, at(0.2, 0.4).y()), qRgb(0, 192, 64), 40 },
                { at(0.8, 0.8), white, 0 } } },
        { "arrow: on the line from corner to corner, not beside it",
            mark(Kind::Arrow, QRectF(0.1, 0.1, 0.6, 0.6), "2040ff"),
            { { at(0.4, 0.4), qRgb(32, 64, 255), 30 }, { at(0.6, 0.2), white, 0 }, { at(0.1, 0.7), white, 0 } } },
        { "text: a capsule of its colour on its rectangle's centre",
            mark(Kind::Text, QRectF(0.5, 0.5, 0.2, 0.1), "d02030", QStringLiteral("iiiiii")),
            { { QPoint(int(labelRect(
                           mark(Kind::Text, QRectF(0.5, 0.5, 0.2, 0.1), "d02030", QStringLiteral("iiiiii")), target)
                               .left())
                        + 4,
                    at(0.6, 0.55).y()),
                  qRgb(208, 32, 48), 30 },
                { at(0.6, 0.2), white, 0 } } },
        { "an unreadable colour is magenta", mark(Kind::Highlight, QRectF(0, 0, 1, 1), "#12;x"),
            { { QPoint(at(0, 0.5).x() + 1, at(0, 0.5).y()), qRgb(255, 61, 138), 40 } } },
        { "nothing outside the screenshot", mark(Kind::Highlight, QRectF(-0.5, -0.5, 2, 2)),
            { { QPoint(20, 20), white, 0 }, { QPoint(380, 280), white, 0 }, { QPoint(49, 150), white, 0 } } },
    };
    for (const Row& row : rows) {
        const QImage image = painted({ row.mark });
        for (const Probe& probe : row.probes)
            EXPECT_LE(distance(image.pixel(probe.point), probe.colour), probe.tolerance)
                << row.name << " at " << probe.point.x() << "," << probe.point.y() << ": " << std::hex
                << image.pixel(probe.point);
    }
}

TEST(PainterTest, BlurShowsTheRedactedScreenshotUnderAVeil)
{
    // A redacted copy of half the size: black where the mark hides, red elsewhere.
    QImage redacted(150, 100, QImage::Format_RGB32);
    redacted.fill(qRgb(200, 0, 0));
    QPainter(&redacted).fillRect(QRect(30, 20, 60, 40), Qt::black);
    const StepAnnotation blur = mark(Kind::Blur, QRectF(0.2, 0.2, 0.4, 0.4));
    const QImage image = painted({ blur }, redacted);
    // Black under a white veil of 25 %.
    EXPECT_LE(distance(image.pixel(at(0.4, 0.4)), qRgb(64, 64, 64)), 3);
    EXPECT_EQ(image.pixel(at(0.8, 0.8)), qRgb(255, 255, 255)) << "the copy shows only under the mark";
    // Without a copy the veil alone lies over what is drawn.
    EXPECT_LE(distance(painted({ blur }).pixel(at(0.4, 0.4)), qRgb(255, 255, 255)), 1);
}

TEST(PainterTest, MarksFarOffOrOfAbsurdSizeDrawOnlyOnTheScreenshot)
{
    const double huge = 1e300;
    const QList<StepAnnotation> marks = {
        mark(Kind::Arrow, QRectF(-huge, -huge, 2 * huge, 2 * huge)),
        mark(Kind::Arrow, QRectF(-10, -10, 20, 20)),
        mark(Kind::Highlight, QRectF(1e9, 1e9, 1e9, 1e9)),
        mark(Kind::Text, QRectF(-1e12, 0.5, 0.1, 0.1)),
        mark(Kind::Blur, QRectF(-huge, -huge, huge, huge)),
    };
    const QImage image = painted(marks);
    for (const QPoint p : { QPoint(0, 0), QPoint(399, 299), QPoint(10, 150), QPoint(200, 10) })
        EXPECT_EQ(image.pixel(p), qRgb(255, 255, 255)) << p.x() << "," << p.y();
    // An arrow from far off to far off still crosses the screenshot through its middle.
    EXPECT_LT(qRed(image.pixel(at(0.5, 0.5))), 200);
}

TEST(PainterTest, TopmostMarkTakesTheClick)
{
    const QList<StepAnnotation> marks = {
        mark(Kind::Highlight, QRectF(0.1, 0.1, 0.5, 0.5)),
        mark(Kind::Blur, QRectF(0.3, 0.3, 0.5, 0.5)),
        mark(Kind::Text, QRectF(0.9, 0.9, 0.001, 0.001), "ff0000", QStringLiteral("A long label")),
    };
    EXPECT_EQ(markAt(marks, target, at(0.2, 0.2)), 0);
    EXPECT_EQ(markAt(marks, target, at(0.4, 0.4)), 1) << "the later mark lies on top";
    EXPECT_EQ(markAt(marks, target, at(0.95, 0.15)), std::nullopt);
    // A text mark is taken on its whole capsule, far beyond its tiny rectangle.
    const QRectF capsule = labelRect(marks.at(2), target);
    EXPECT_GT(capsule.width(), 60);
    EXPECT_EQ(markAt(marks, target, capsule.topLeft() + QPointF(2, capsule.height() / 2)), 2);
    EXPECT_EQ(labelText(mark(Kind::Text, QRectF(), "fff", QString())), QStringLiteral("Label"));
    EXPECT_EQ(labelText(mark(Kind::Text, QRectF())), QStringLiteral("Label"));
    EXPECT_EQ(markColor(mark(Kind::Arrow, QRectF(), " #A0b1C2 ")), QColor(0xa0, 0xb1, 0xc2));
}
