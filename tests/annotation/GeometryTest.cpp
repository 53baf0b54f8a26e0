#include "annotation/AnnotationGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace zova;
using namespace zova::annotation;
using Kind = StepAnnotation::Kind;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

StepAnnotation mark(double x, double y, double w, double h, Kind kind = Kind::Highlight)
{
    StepAnnotation a;
    a.kind = kind;
    a.x = x;
    a.y = y;
    a.width = w;
    a.height = h;
    a.rotation = 0.25;
    a.text = QStringLiteral("Note");
    a.colorHex = QStringLiteral("00aaff");
    return a;
}

void expectNear(QPointF got, QPointF want, const char* name)
{
    EXPECT_NEAR(got.x(), want.x(), 1e-9) << name;
    EXPECT_NEAR(got.y(), want.y(), 1e-9) << name;
}

void expectNear(const QRectF& got, const QRectF& want, const char* name)
{
    expectNear(got.topLeft(), want.topLeft(), name);
    expectNear(got.bottomRight(), want.bottomRight(), name);
}

} // namespace

TEST(GeometryTest, ClampingIntoTheUnit)
{
    EXPECT_EQ(clampUnit(-0.5), 0);
    EXPECT_EQ(clampUnit(0.25), 0.25);
    EXPECT_EQ(clampUnit(7), 1);
    EXPECT_EQ(clampUnit(notANumber), 0);
    EXPECT_EQ(clampUnit(std::numeric_limits<double>::infinity()), 1);

    EXPECT_EQ(unitPoint({ 50, 25 }, { 200, 100 }), QPointF(0.25, 0.25));
    EXPECT_EQ(unitPoint({ -10, 300 }, { 200, 100 }), QPointF(0, 1));
    EXPECT_EQ(unitPoint({ 50, 25 }, { 0, 100 }), QPointF(0, 0)) << "a layer of no width";
    EXPECT_EQ(unitPoint({ 50, 25 }, { 200, -1 }), QPointF(0, 0));
}

TEST(GeometryTest, DraftsKeepTheRectangleNotTheDirection)
{
    struct Row {
        const char* name;
        QPointF start, current;
        QRectF rect;
        bool kept;
    };
    const QList<Row> rows = {
        { "down and right", { 0.1, 0.2 }, { 0.4, 0.6 }, QRectF(0.1, 0.2, 0.3, 0.4), true },
        { "up and left", { 0.4, 0.6 }, { 0.1, 0.2 }, QRectF(0.1, 0.2, 0.3, 0.4), true },
        { "a click", { 0.5, 0.5 }, { 0.5, 0.5 }, QRectF(0.5, 0.5, 0.005, 0.005), false },
        { "flat", { 0.1, 0.5 }, { 0.9, 0.503 }, QRectF(0.1, 0.5, 0.8, 0.005), false },
        { "just over the minimum", { 0.0, 0.0 }, { 0.0051, 0.0051 }, QRectF(0, 0, 0.0051, 0.0051), true },
    };
    for (const Row& row : rows) {
        expectNear(draftRect(row.start, row.current), row.rect, row.name);
        EXPECT_EQ(draftIsLargeEnough(row.start, row.current), row.kept) << row.name;
    }
    EXPECT_FALSE(draftIsLargeEnough({ 0, 0 }, { 0.005, 0.6 })) << "0.005 is not more than 0.005";
}

TEST(GeometryTest, MovesStayInsideTheScreenshot)
{
    struct Row {
        const char* name;
        StepAnnotation mark;
        double dx, dy;
        QPointF origin;
    };
    const QList<Row> rows = {
        { "inside", mark(0.2, 0.2, 0.2, 0.2), 0.1, -0.1, { 0.3, 0.1 } },
        { "past the right and bottom", mark(0.5, 0.5, 0.3, 0.4), 0.5, 0.5, { 0.7, 0.6 } },
        { "past the left and top", mark(0.1, 0.1, 0.2, 0.2), -0.5, -0.5, { 0, 0 } },
        { "wider than the screenshot", mark(0.1, 0.1, 1.5, 0.2), 0.3, 0, { 0, 0.1 } },
    };
    for (const Row& row : rows)
        expectNear(movedOrigin(row.mark, row.dx, row.dy), row.origin, row.name);
}

TEST(GeometryTest, RenderedRectangleIsAtLeastEightUnits)
{
    const QRectF target(100, 50, 400, 200);
    expectNear(renderedRect(mark(0.25, 0.5, 0.5, 0.25), target), QRectF(200, 150, 200, 50), "in the target");
    expectNear(renderedRect(mark(0.5, 0.5, 0.001, 0.01), target), QRectF(300, 150, 8, 8), "tiny");
    expectNear(renderedRect(mark(0, 0, 1, 1), QRectF(0, 0, 4, 4)), QRectF(0, 0, 8, 8), "tiny target");
}

TEST(GeometryTest, ArrowRunsCornerToCornerWithItsHeadAtTheEnd)
{
    struct Row {
        const char* name;
        QRectF box;
        double head;
    };
    const QList<Row> rows = {
        { "square: head at its longest", QRectF(10, 20, 100, 100), 20 },
        { "small: head a share of the length", QRectF(0, 0, 30, 40), 0.35 * 50 },
        { "flat", QRectF(0, 0, 200, 8), 20 },
    };
    for (const Row& row : rows) {
        const ArrowLines lines = arrowLines(row.box);
        EXPECT_EQ(lines.shaft, QLineF(row.box.topLeft(), row.box.bottomRight())) << row.name;
        const double angle = std::atan2(row.box.height(), row.box.width());
        for (const auto& [line, theta] : { std::pair { lines.headLeft, angle - std::numbers::pi / 7 },
                 { lines.headRight, angle + std::numbers::pi / 7 } }) {
            EXPECT_EQ(line.p1(), row.box.bottomRight()) << row.name;
            EXPECT_NEAR(line.length(), row.head, 1e-9) << row.name;
            expectNear(line.p2(),
                row.box.bottomRight() - QPointF(std::cos(theta) * row.head, std::sin(theta) * row.head), row.name);
        }
    }
    EXPECT_EQ(arrowPath(QRectF(0, 0, 100, 100)).elementCount(), 6) << "three separate strokes";
}

TEST(GeometryTest, CropsAreCutToTheImageAndToWholePixels)
{
    struct Row {
        const char* name;
        QRectF rect;
        QSize size;
        std::optional<QRect> pixels;
    };
    const QList<Row> rows = {
        { "everything", QRectF(0, 0, 1, 1), { 640, 480 }, QRect(0, 0, 640, 480) },
        { "a third of a 100 px square", QRectF(0.333, 0.333, 0.333, 0.333), { 100, 100 }, QRect(33, 33, 33, 33) },
        { "past the right and bottom", QRectF(0.5, 0.75, 2, 2), { 200, 100 }, QRect(100, 75, 100, 25) },
        { "a negative origin keeps its size", QRectF(-0.2, -5, 0.5, 0.5), { 100, 100 }, QRect(0, 0, 50, 50) },
        { "less than a pixel", QRectF(0.5, 0.5, 0.004, 0.5), { 100, 100 }, std::nullopt },
        { "at the far edge", QRectF(1, 0, 0.5, 1), { 100, 100 }, std::nullopt },
        { "not a number", QRectF(notANumber, 0.5, notANumber, 0.5), { 100, 100 }, std::nullopt },
        { "an empty image", QRectF(0, 0, 1, 1), { 0, 0 }, std::nullopt },
    };
    for (const Row& row : rows) {
        const auto crop = cropFor(row.rect, row.size);
        ASSERT_EQ(crop.has_value(), row.pixels.has_value()) << row.name;
        if (!crop)
            continue;
        EXPECT_EQ(crop->pixels, *row.pixels) << row.name;
        EXPECT_DOUBLE_EQ(crop->x, double(row.pixels->x()) / row.size.width()) << row.name;
        EXPECT_DOUBLE_EQ(crop->width, double(row.pixels->width()) / row.size.width()) << row.name;
    }
}

TEST(GeometryTest, HotspotAndMarksKeepPointingAtTheSamePixels)
{
    const auto half = cropFor(QRectF(0, 0, 0.5, 0.5), { 100, 100 });
    ASSERT_TRUE(half);
    struct HotspotRow {
        const char* name;
        QPointF before, after;
    };
    const QList<HotspotRow> hotspots = {
        { "inside", { 0.25, 0.1 }, { 0.5, 0.2 } },
        { "outside: on the nearest edge", { 0.9, 0.9 }, { 1, 1 } },
        { "left of it", { -0.3, 0.25 }, { 0, 0.5 } },
    };
    for (const HotspotRow& row : hotspots)
        expectNear(remapHotspot(row.before, *half), row.after, row.name);

    struct MarkRow {
        const char* name;
        StepAnnotation before;
        std::optional<QRectF> after;
    };
    const QList<MarkRow> marks = {
        { "wholly outside", mark(0.6, 0.6, 0.2, 0.2), std::nullopt },
        { "touching the corner", mark(0.5, 0.5, 0.2, 0.2), QRectF(1, 1, 0.001, 0.001) },
        { "inside", mark(0.1, 0.2, 0.2, 0.1), QRectF(0.2, 0.4, 0.4, 0.2) },
        { "straddling the left edge", mark(-0.1, 0.1, 0.3, 0.2), QRectF(0, 0.2, 0.4, 0.4) },
        { "covering it all", mark(-1, -1, 3, 3), QRectF(0, 0, 1, 1) },
        { "not finite", mark(notANumber, 0, 0.5, 0.5), std::nullopt },
    };
    for (const MarkRow& row : marks) {
        const auto got = remapAnnotation(row.before, *half);
        ASSERT_EQ(got.has_value(), row.after.has_value()) << row.name;
        if (!got)
            continue;
        expectNear(QRectF(got->x, got->y, got->width, got->height), *row.after, row.name);
        EXPECT_EQ(got->id, row.before.id) << row.name;
        EXPECT_EQ(got->kind, row.before.kind);
        EXPECT_EQ(got->rotation, row.before.rotation);
        EXPECT_EQ(got->text, row.before.text);
        EXPECT_EQ(got->colorHex, row.before.colorHex);
    }
    const QList<StepAnnotation> list = { mark(0.6, 0.6, 0.2, 0.2), mark(0.1, 0.1, 0.1, 0.1), mark(0.2, 0.2, 0.1, 0.1) };
    const QList<StepAnnotation> kept = remapAnnotations(list, *half);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept.at(0).id, list.at(1).id) << "stored order kept";
    EXPECT_EQ(kept.at(1).id, list.at(2).id);
    expectNear(
        QRectF(kept.at(0).x, kept.at(0).y, kept.at(0).width, kept.at(0).height), QRectF(0.2, 0.2, 0.2, 0.2), "second");

    // Remapped against the pixels kept: the middle of a 3 px image cut to its
    // middle column is the middle of the one column left.
    const auto column = cropFor(QRectF(0.5, 0, 0.5, 1), { 3, 3 });
    ASSERT_TRUE(column);
    EXPECT_EQ(column->pixels, QRect(1, 0, 1, 3));
    expectNear(remapHotspot({ 0.5, 0.5 }, *column), { 0.5, 0.5 }, "middle pixel");
}
