#include "onboarding/SplashCursorShape.h"
#include "onboarding/SplashView.h"
#include "style/Spinner.h"

#include <QEasingCurve>
#include <QPainterPath>
#include <QTest>
#include <QtMath>

#include <gtest/gtest.h>

#include <cmath>

using namespace zova;

namespace {

// Brightness along the column through the rings' centre, from `from` upwards.
std::vector<double> columnUp(const QImage& image, QPoint from, int length)
{
    std::vector<double> out;
    for (int d = 0; d < length; ++d) {
        const QColor c = image.pixelColor(from.x(), from.y() - d);
        out.push_back(c.lightnessF());
    }
    return out;
}

// Distances (from the centre) of the local brightness peaks clearly above the
// gradient behind them.
std::vector<int> ringRadii(const QImage& image, QPointF center, int skip, int length)
{
    const QPoint origin = center.toPoint();
    const auto column = columnUp(image, origin, length);
    std::vector<int> peaks;
    for (int d = std::max(skip, 3); d + 3 < int(column.size()); ++d) {
        const double base = std::min(column[size_t(d - 3)], column[size_t(d + 3)]);
        if (column[size_t(d)] >= column[size_t(d - 1)] && column[size_t(d)] > column[size_t(d + 1)]
            && column[size_t(d)] - base > 0.04)
            peaks.push_back(d);
    }
    return peaks;
}

bool hasPeakNear(const std::vector<int>& peaks, double radius)
{
    return std::any_of(peaks.begin(), peaks.end(), [&](int d) { return std::abs(d - radius) <= 2.0; });
}

double expectedRadius(qreal progress)
{
    return (SplashView::ringSide / 2 - SplashView::ringLineWidth / 2) * SplashView::ringAt(progress).scale;
}

// The ease-out timing curve of the rings (0.0, 0.0, 0.58, 1.0).
double easeOut(double t)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve.valueForProgress(t);
}

} // namespace

TEST(SplashCursorShape, SevenVerticesOfTheOutline)
{
    const QPainterPath path = SplashCursorShape::path(QRectF(0, 0, 78, 108));
    const QPolygonF polygon = path.toFillPolygon();
    const QPointF expected[] = { { 0, 0 }, { 0, 92.88 }, { 21.06, 70.2 }, { 33.54, 108 }, { 46.02, 102.06 },
        { 33.93, 64.26 }, { 55.38, 64.26 } };
    ASSERT_GE(polygon.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(polygon[i].x(), expected[i].x(), 1e-9) << i;
        EXPECT_NEAR(polygon[i].y(), expected[i].y(), 1e-9) << i;
    }
    EXPECT_EQ(polygon.first(), polygon.last()) << "closed";
    EXPECT_EQ(path.elementCount(), 8);
}

TEST(SplashView, RingStatesFromStartToEnd)
{
    const struct {
        qreal progress, scale, opacity;
    } rows[] = { { 0, 0.55, 0.55 }, { 1, 1.6, 0 }, { 0.5, 1.075, 0.275 }, { -1, 0.55, 0.55 } };
    for (const auto& row : rows) {
        EXPECT_NEAR(SplashView::ringAt(row.progress).scale, row.scale, 1e-9) << row.progress;
        EXPECT_NEAR(SplashView::ringAt(row.progress).opacity, row.opacity, 1e-9) << row.progress;
    }
}

TEST(SplashView, RenderedFrameShowsGeometryAndStaggeredRings)
{
    SplashView splash;
    splash.resize(1280, 820);
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    splash.pulse()->pause();

    const SplashView::Parts g = splash.parts();
    EXPECT_EQ(g.center.x(), 640);
    EXPECT_NEAR(g.emblem.height(), 200, 1e-9);
    EXPECT_NEAR(g.title.top() - g.emblem.bottom(), 28, 1e-9);
    EXPECT_NEAR((g.emblem.top() + g.subtitle.bottom()) / 2, 410, 0.5) << "the column is centred";

    // Right after appearance all three rings rest at scale 0.55 and opacity 0.55.
    splash.pulse()->setCurrentTime(0);
    QImage frame = splash.grab().toImage();
    auto peaks = ringRadii(frame, g.center, 20, 160);
    ASSERT_TRUE(hasPeakNear(peaks, expectedRadius(0))) << "no ring at scale 0.55";
    EXPECT_EQ(peaks.size(), 1u) << "the three rings coincide";

    // 1.0 s in: the first ring is halfway through its wave, the second 0.45 s
    // into its own, the third has not begun.
    splash.pulse()->setCurrentTime(1000);
    EXPECT_NEAR(splash.ringProgress(0), easeOut(0.5), 1e-3);
    EXPECT_NEAR(splash.ringProgress(1), easeOut(0.225), 1e-3);
    EXPECT_NEAR(splash.ringProgress(2), 0, 1e-9);
    frame = splash.grab().toImage();
    peaks = ringRadii(frame, g.center, 20, 160);
    EXPECT_TRUE(hasPeakNear(peaks, expectedRadius(0))) << "the third ring waits";
    EXPECT_TRUE(hasPeakNear(peaks, expectedRadius(easeOut(0.225)))) << "the second ring has grown";
    EXPECT_TRUE(hasPeakNear(peaks, expectedRadius(easeOut(0.5)))) << "the first ring has grown further";

    // 2.5 s in: the first ring started its second wave 0.5 s ago.
    splash.pulse()->setCurrentTime(2500);
    EXPECT_NEAR(splash.ringProgress(0), easeOut(0.25), 1e-3);
    EXPECT_NEAR(splash.ringProgress(2), easeOut(0.7), 1e-3);

    // The background runs from pink at the top left to indigo at the bottom
    // right, where the glow no longer reaches.
    const QColor corner = frame.pixelColor(1279, 819);
    EXPECT_NEAR(corner.red(), 0x4F, 3);
    EXPECT_NEAR(corner.green(), 0x46, 3);
    EXPECT_NEAR(corner.blue(), 0xE5, 3);
    const QColor topLeft = frame.pixelColor(0, 0);
    EXPECT_GT(topLeft.red(), 0xF0);
    EXPECT_GT(topLeft.red(), topLeft.blue());

    // The white pointer: inside the rotated outline, with its tip at the frame's corner.
    const QPainterPath pointer = SplashView::pointerPath(g);
    EXPECT_NEAR(pointer.elementAt(0).x, g.pointerFrame.left(), 1e-9);
    const QPointF inside = g.pointerFrame.topLeft() + QPointF(14, 40);
    ASSERT_TRUE(pointer.contains(inside));
    EXPECT_GT(frame.pixelColor(inside.toPoint()).lightnessF(), 0.97);
    // Turned clockwise: the left edge's lower end moves left of the tip.
    const QPointF leftEdgeEnd(pointer.elementAt(1).x, pointer.elementAt(1).y);
    EXPECT_NEAR(leftEdgeEnd.x(), g.pointerFrame.left() - 92.88 * std::sin(qDegreesToRadians(12.0)), 1e-6);

    // The spinner sits 48 points above the bottom edge, centred.
    const QRect spinner = splash.spinner()->geometry();
    EXPECT_EQ(spinner.bottom() + 1, 820 - 48);
    EXPECT_NEAR(spinner.x() + spinner.width() / 2.0, 640, 1);
    EXPECT_TRUE(splash.spinner()->isVisible());
}
