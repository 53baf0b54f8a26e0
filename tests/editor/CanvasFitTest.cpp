#include "editor/canvas/CanvasFit.h"

#include <gtest/gtest.h>

using namespace zova;

namespace {

struct FitCase {
    const char* name;
    QSizeF image;
    QSizeF box;
    QSizeF displayed;
};

class FitTable : public ::testing::TestWithParam<FitCase> { };

TEST_P(FitTable, FitsAndCentres)
{
    const FitCase& c = GetParam();
    const QSizeF size = canvas_fit::fittedSize(c.image, c.box);
    EXPECT_NEAR(size.width(), c.displayed.width(), 1e-9);
    EXPECT_NEAR(size.height(), c.displayed.height(), 1e-9);
    const QRectF rect = canvas_fit::fittedRect(c.image, c.box);
    EXPECT_NEAR(rect.center().x(), c.box.width() / 2, 1e-9);
    EXPECT_NEAR(rect.center().y(), c.box.height() / 2, 1e-9);
    if (!size.isEmpty()) {
        EXPECT_NEAR(size.width() / size.height(), c.image.width() / c.image.height(), 1e-9) << "aspect kept";
        EXPECT_LE(size.width(), c.box.width());
        EXPECT_LE(size.height(), std::max<qreal>(c.box.height(), 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Fits, FitTable,
    ::testing::Values(FitCase { "wider_image_is_limited_by_width", { 1600, 400 }, { 800, 600 }, { 736, 184 } },
        FitCase { "taller_image_is_limited_by_height", { 400, 1600 }, { 800, 600 }, { 138, 552 } },
        FitCase { "equal_aspects_are_limited_by_height", { 1600, 1200 }, { 800, 600 }, { 736, 552 } },
        FitCase { "tiny_image_grows_to_the_box", { 2, 1 }, { 800, 600 }, { 736, 368 } },
        FitCase { "huge_panorama", { 20000, 100 }, { 900, 700 }, { 828, 4.14 } },
        FitCase { "one_pixel_image", { 1, 1 }, { 300, 300 }, { 276, 276 } },
        FitCase { "box_under_one_high_compares_with_its_width", { 100, 200 }, { 0.4, 0.5 }, { 0.368, 0.736 } },
        FitCase { "zero_width_box", { 1920, 1080 }, { 0, 600 }, { 0, 0 } },
        FitCase { "zero_height_box", { 1920, 1080 }, { 800, 0 }, { 0, 0 } },
        FitCase { "empty_image", { 0, 0 }, { 800, 600 }, { 0, 0 } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasFit, HotspotPointsLieOnTheDisplayedImageNotTheBox)
{
    const QRectF displayed = canvas_fit::fittedRect({ 1600, 400 }, { 800, 600 }); // (32, 208) 736 x 184
    EXPECT_EQ(canvas_fit::hotspotPoint(displayed, { 0, 0 }), displayed.topLeft());
    EXPECT_EQ(canvas_fit::hotspotPoint(displayed, { 1, 1 }), displayed.bottomRight());
    EXPECT_EQ(canvas_fit::hotspotPoint(displayed, { 0.5, 0.25 }), QPointF(32 + 368, 208 + 46));
}

struct DragCase {
    const char* name;
    QPointF stored;
    QPointF translation;
    QSizeF displayed;
    std::optional<QPointF> pending;
};

class DragTable : public ::testing::TestWithParam<DragCase> { };

TEST_P(DragTable, MovesByFractionsOfTheDisplayedImageClamped)
{
    const DragCase& c = GetParam();
    EXPECT_EQ(canvas_fit::draggedHotspot(c.stored, c.translation, c.displayed), c.pending);
}

INSTANTIATE_TEST_SUITE_P(Drags, DragTable,
    ::testing::Values(DragCase { "half_the_width_from_the_middle_reaches_the_edge", { 0.5, 0.5 }, { 200, 0 },
                          { 400, 300 }, QPointF(1.0, 0.5) },
        DragCase { "further_stays_at_the_edge", { 0.5, 0.5 }, { 900, 0 }, { 400, 300 }, QPointF(1.0, 0.5) },
        DragCase { "past_the_top_left_pins_to_zero", { 0.1, 0.2 }, { -500, -500 }, { 400, 300 }, QPointF(0, 0) },
        DragCase { "inside_moves_by_fractions", { 0.25, 0.5 }, { 100, -75 }, { 400, 300 }, QPointF(0.5, 0.25) },
        DragCase { "no_movement_keeps_the_hotspot", { 0.3, 0.7 }, { 0, 0 }, { 400, 300 }, QPointF(0.3, 0.7) },
        DragCase { "zero_width_ignores_the_drag", { 0.5, 0.5 }, { 10, 10 }, { 0, 300 }, std::nullopt },
        DragCase { "zero_height_ignores_the_drag", { 0.5, 0.5 }, { 10, 10 }, { 400, 0 }, std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
