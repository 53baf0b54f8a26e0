#include "engine/VisionService.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zova {
namespace {

const QColor backgroundColour(41, 83, 127);
const QColor dotColour(250, 250, 250);

// A screenshot of one colour with a bright dot of the given radius.
QImage screenshotWithDot(
    QPoint centre, int radius, QColor background = backgroundColour, QColor dot = dotColour, QSize size = { 200, 200 })
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(background);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (std::hypot(x - centre.x(), y - centre.y()) <= radius)
                image.setPixelColor(x, y, dot);
    return image;
}

struct BlendCase {
    const char* name;
    int ox, oy;
    int r, g, b;
};

class BlendWeightTest : public ::testing::TestWithParam<BlendCase> { };

// A dot that covers the whole disc, so each painted pixel blends the fill
// (41, 83, 127) with 250: full weight up to 25 px, falling to nothing at 30.
TEST_P(BlendWeightTest, PaintsTheDiscWithTheFeatheredFill)
{
    const BlendCase& c = GetParam();
    const QPoint centre(100, 100);
    const QImage image = screenshotWithDot(centre, 31);
    const QImage cleaned = VisionService().removeMirroringPointer(image, centre);
    ASSERT_EQ(cleaned.size(), image.size());
    const QColor got = cleaned.pixelColor(centre.x() + c.ox, centre.y() + c.oy);
    EXPECT_EQ(got.red(), c.r);
    EXPECT_EQ(got.green(), c.g);
    EXPECT_EQ(got.blue(), c.b);
    EXPECT_EQ(got.alpha(), 255);
}

INSTANTIATE_TEST_SUITE_P(Offsets, BlendWeightTest,
    ::testing::Values(BlendCase { "centre", 0, 0, 41, 83, 127 }, BlendCase { "fullWeightAt25", 15, -20, 41, 83, 127 },
        BlendCase { "weight06DropsFraction", 27, 0, 124, 149, 176 }, BlendCase { "weight04", 0, 28, 166, 183, 200 },
        BlendCase { "weight02", -29, 0, 208, 216, 225 }, BlendCase { "diagonalNearRim", 21, 21, 237, 239, 242 },
        BlendCase { "rimKeepsOld", 18, -24, 250, 250, 250 }, BlendCase { "outsideDisc", 31, 0, 250, 250, 250 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PointerRemoval, LeavesPixelsBeyondTheDiscAndTheInputUntouched)
{
    const QImage image = screenshotWithDot({ 100, 100 }, 6);
    const QImage before = image.copy();
    const QImage cleaned = VisionService().removeMirroringPointer(image, QPointF(100.2, 99.7));
    EXPECT_NE(cleaned.cacheKey(), image.cacheKey());
    EXPECT_EQ(image, before) << "the caller's image must not change";
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QColor c = cleaned.pixelColor(x, y);
            const double d = std::hypot(x - 100, y - 100);
            if (d > 30) {
                ASSERT_EQ(c, image.pixelColor(x, y)) << x << "," << y;
            } else if (d <= 25) {
                ASSERT_EQ(c, backgroundColour) << "the dot must be gone at " << x << "," << y;
            } else {
                // The feather blends the fill with itself; dropping fractions may lose one.
                ASSERT_LE(std::abs(c.red() - backgroundColour.red()), 1) << x << "," << y;
                ASSERT_LE(std::abs(c.blue() - backgroundColour.blue()), 1) << x << "," << y;
            }
        }
}

TEST(PointerRemoval, ImageRowsRunTopDown)
{
    // The dot sits in the lower half; a click at the mirrored upper position finds nothing.
    const QImage image = screenshotWithDot({ 60, 150 }, 6);
    const VisionService vision;
    EXPECT_EQ(vision.removeMirroringPointer(image, QPointF(60, 50)).cacheKey(), image.cacheKey());
    EXPECT_EQ(vision.removeMirroringPointer(image, QPointF(60, 150)).pixelColor(60, 150), backgroundColour);
}

TEST(PointerRemoval, RoundsHalfPixelsAwayFromZero)
{
    // Only pixel (11, 11) is bright: 10.5 must round up to reach it.
    QImage image(100, 100, QImage::Format_ARGB32);
    image.fill(backgroundColour);
    image.setPixelColor(11, 11, dotColour);
    const QImage cleaned = VisionService().removeMirroringPointer(image, QPointF(10.5, 10.5));
    EXPECT_NE(cleaned.cacheKey(), image.cacheKey());
}

struct UnchangedCase {
    const char* name;
    QImage image;
    QPointF click;
};

class UnchangedImageTest : public ::testing::TestWithParam<UnchangedCase> { };

TEST_P(UnchangedImageTest, ReturnsTheVeryImageGiven)
{
    const UnchangedCase& c = GetParam();
    const QImage result = VisionService().removeMirroringPointer(c.image, c.click);
    EXPECT_EQ(result.cacheKey(), c.image.cacheKey());
}

// Dots whose colour sits just outside the bright-neutral limits, and surroundings
// that give fewer than three usable samples.
std::vector<UnchangedCase> unchangedCases()
{
    const QPoint centre(100, 100);
    std::vector<UnchangedCase> cases = {
        { "darkPixel", screenshotWithDot(centre, 6, backgroundColour, QColor(30, 30, 30)), centre },
        { "colourfulBrightPixel", screenshotWithDot(centre, 6, backgroundColour, QColor(255, 200, 0)), centre },
        { "justTooDark", screenshotWithDot(centre, 6, backgroundColour, QColor(180, 175, 170)), centre },
        { "justTooColourful", screenshotWithDot(centre, 6, backgroundColour, QColor(224, 200, 210)), centre },
        { "whiteOnWhite", screenshotWithDot(centre, 6, Qt::white), centre },
        { "clickLeftOfImage", screenshotWithDot({ 0, 100 }, 6), QPointF(-0.6, 100) },
        { "clickAtRightEdge", screenshotWithDot({ 199, 100 }, 6), QPointF(199.5, 100) },
        { "clickBelowImage", screenshotWithDot({ 100, 199 }, 6), QPointF(100, 200) },
        { "clickNotANumber", screenshotWithDot(centre, 6), QPointF(std::numeric_limits<double>::quiet_NaN(), 100) },
        { "nullImage", QImage(), QPointF(0, 0) },
    };
    // Two usable ring samples are not enough.
    QImage two = screenshotWithDot(centre, 6, Qt::white);
    two.setPixelColor(135, 100, backgroundColour);
    two.setPixelColor(65, 100, backgroundColour);
    cases.push_back({ "twoSamples", two, centre });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, UnchangedImageTest, ::testing::ValuesIn(unchangedCases()),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PointerRemoval, LimitsOfBrightNeutralAndThreeSamplesPaint)
{
    const QPoint centre(100, 100);
    const VisionService vision;
    for (const QColor dot : { QColor(181, 170, 158), QColor(255, 232, 240) }) {
        const QImage image = screenshotWithDot(centre, 6, backgroundColour, dot);
        EXPECT_EQ(vision.removeMirroringPointer(image, centre).pixelColor(centre), backgroundColour)
            << dot.name().toStdString();
    }
    QImage three = screenshotWithDot(centre, 6, Qt::white);
    three.setPixelColor(135, 100, QColor(30, 60, 90));
    three.setPixelColor(65, 100, QColor(30, 60, 90));
    three.setPixelColor(100, 135, QColor(60, 0, 0));
    EXPECT_EQ(vision.removeMirroringPointer(three, centre).pixelColor(centre), QColor(40, 40, 60));
}

TEST(PointerRemoval, SamplesOutsideTheImageCountAsBlack)
{
    // Dot 10 px from the left edge: the three left-hand samples fall outside.
    const QPoint centre(10, 100);
    const QImage image = screenshotWithDot(centre, 6);
    const QImage cleaned = VisionService().removeMirroringPointer(image, centre);
    ASSERT_EQ(cleaned.size(), image.size());
    const QColor fill(41 * 5 / 8, 83 * 5 / 8, 127 * 5 / 8);
    EXPECT_EQ(cleaned.pixelColor(centre), fill);
    EXPECT_EQ(cleaned.pixelColor(0, 100), fill);
    EXPECT_EQ(cleaned.pixelColor(60, 100), backgroundColour);
}

} // namespace
} // namespace zova
