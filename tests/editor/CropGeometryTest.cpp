#include "editor/crop/CropGeometry.h"

#include <gtest/gtest.h>

#include <QList>

using namespace zova;
using namespace zova::crop_geometry;

namespace {

void expectNear(const QRectF& got, const QRectF& want, const char* name)
{
    EXPECT_NEAR(got.x(), want.x(), 1e-9) << name;
    EXPECT_NEAR(got.y(), want.y(), 1e-9) << name;
    EXPECT_NEAR(got.width(), want.width(), 1e-9) << name;
    EXPECT_NEAR(got.height(), want.height(), 1e-9) << name;
}

} // namespace

TEST(CropGeometryTest, TheImageFitsWholeAndCentred)
{
    struct Row {
        const char* name;
        QSizeF image, area;
        QRectF fitted;
    };
    const QList<Row> rows = {
        { "wide image in a tall area: full width, centred vertically", { 400, 100 }, { 200, 300 },
            QRectF(0, 125, 200, 50) },
        { "tall image in a wide area: full height, centred horizontally", { 100, 400 }, { 300, 200 },
            QRectF(125, 0, 50, 200) },
        { "same aspect: the whole area", { 160, 90 }, { 320, 180 }, QRectF(0, 0, 320, 180) },
        { "an image of no height counts as 1 high", { 50, 0 }, { 100, 100 }, QRectF(0, 49, 100, 2) },
        { "an area of no height", { 100, 100 }, { 200, 0 }, QRectF(100, 0, 0, 0) },
    };
    for (const Row& row : rows)
        expectNear(fit(row.image, row.area), row.fitted, row.name);
}

TEST(CropGeometryTest, HandlesSitOnCornersAndEdgeMiddles)
{
    const QRectF r(10, 20, 100, 60);
    const QList<std::pair<Handle, QPointF>> rows = {
        { Handle::TopLeft, { 10, 20 } },
        { Handle::Top, { 60, 20 } },
        { Handle::TopRight, { 110, 20 } },
        { Handle::Right, { 110, 50 } },
        { Handle::BottomRight, { 110, 80 } },
        { Handle::Bottom, { 60, 80 } },
        { Handle::BottomLeft, { 10, 80 } },
        { Handle::Left, { 10, 50 } },
    };
    ASSERT_EQ(rows.size(), qsizetype(handles.size()));
    for (const auto& [handle, point] : rows) {
        EXPECT_EQ(handlePosition(handle, r), point) << int(handle);
        EXPECT_EQ(handleAt(point + QPointF(4, -4), r), handle) << "within the circle, " << int(handle);
    }
    EXPECT_EQ(handleAt({ 10 + 8, 20 }, r), std::nullopt) << "past the circle's radius";
    EXPECT_EQ(handleAt({ 60, 50 }, r), std::nullopt);

    expectNear(viewRect(QRectF(0.25, 0.5, 0.5, 0.25), QRectF(100, 50, 400, 200)), QRectF(200, 150, 200, 50), "view");
}

TEST(CropGeometryTest, TheMoveAreaLeavesTheEdgesToTheHandles)
{
    expectNear(moveArea(QRectF(0, 0, 300, 200)), QRectF(12, 12, 276, 176), "the whole image less 12 each side");
    const QRectF narrow = moveArea(QRectF(50, 50, 20, 100));
    EXPECT_EQ(narrow.width(), 0) << "narrower than 24: only the handles take it";
    EXPECT_EQ(narrow.height(), 76);
    EXPECT_FALSE(narrow.contains(QPointF(60, 100)));
}

TEST(CropGeometryTest, MovingKeepsTheSizeAndStopsAtTheEdges)
{
    struct Row {
        const char* name;
        QRectF start;
        QPointF delta;
        QRectF moved;
    };
    const QList<Row> rows = {
        { "inside", { 0.2, 0.2, 0.5, 0.5 }, { 0.1, -0.1 }, { 0.3, 0.1, 0.5, 0.5 } },
        { "far past the right and bottom", { 0.2, 0.2, 0.5, 0.4 }, { 5, 5 }, { 0.5, 0.6, 0.5, 0.4 } },
        { "far past the left and top", { 0.2, 0.2, 0.5, 0.4 }, { -5, -5 }, { 0, 0, 0.5, 0.4 } },
        { "the whole image does not move", { 0, 0, 1, 1 }, { 0.3, 0.3 }, { 0, 0, 1, 1 } },
    };
    for (const Row& row : rows)
        expectNear(moved(row.start, row.delta), row.moved, row.name);
    EXPECT_EQ(normalisedTranslation({ 50, -20 }, { 200, 100 }), QPointF(0.25, -0.2));
    EXPECT_EQ(normalisedTranslation({ 5, 5 }, { 0, 0.5 }), QPointF(5, 5)) << "sides below 1 count as 1";
}

TEST(CropGeometryTest, EachHandleMovesOnlyItsEdges)
{
    const QRectF b(0.2, 0.2, 0.6, 0.6); // edges 0.2 .. 0.8
    const QPointF d(0.1, 0.05);
    struct Row {
        const char* name;
        Handle handle;
        QPointF delta;
        QRectF resized;
    };
    const QList<Row> rows = {
        { "top left", Handle::TopLeft, d, { 0.3, 0.25, 0.5, 0.55 } },
        { "top", Handle::Top, d, { 0.2, 0.25, 0.6, 0.55 } },
        { "top right", Handle::TopRight, d, { 0.2, 0.25, 0.7, 0.55 } },
        { "right", Handle::Right, d, { 0.2, 0.2, 0.7, 0.6 } },
        { "bottom right", Handle::BottomRight, d, { 0.2, 0.2, 0.7, 0.65 } },
        { "bottom", Handle::Bottom, d, { 0.2, 0.2, 0.6, 0.65 } },
        { "bottom left", Handle::BottomLeft, d, { 0.3, 0.2, 0.5, 0.65 } },
        { "left", Handle::Left, d, { 0.3, 0.2, 0.5, 0.6 } },
        // Limits.
        { "right dragged past the left edge: minSize wide", Handle::Right, { -2, 0 }, { 0.2, 0.2, 0.05, 0.6 } },
        { "left dragged past the right edge: minX at maxX - minSize", Handle::Left, { 2, 0 },
            { 0.75, 0.2, 0.05, 0.6 } },
        { "top dragged past the bottom", Handle::Top, { 0, 3 }, { 0.2, 0.75, 0.6, 0.05 } },
        { "bottom dragged past the top", Handle::Bottom, { 0, -3 }, { 0.2, 0.2, 0.6, 0.05 } },
        { "top left dragged off the image stops at its corner", Handle::TopLeft, { -1, -1 }, { 0, 0, 0.8, 0.8 } },
        { "bottom right dragged off the image stops at its corner", Handle::BottomRight, { 1, 1 },
            { 0.2, 0.2, 0.8, 0.8 } },
    };
    for (const Row& row : rows)
        expectNear(resized(b, row.handle, row.delta), row.resized, row.name);
    expectNear(resized(b, Handle::Right, { -2, 0 }, 0.2), QRectF(0.2, 0.2, 0.2, 0.6), "another minimum size");
}
