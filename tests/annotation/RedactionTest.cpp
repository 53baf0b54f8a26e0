#include "annotation/Redaction.h"

#include "Marks.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace zova;
using namespace zova::annotation;
using zova::test::mark;
using Kind = StepAnnotation::Kind;

namespace {

QList<StepAnnotation> blurs(const QList<QRectF>& rects)
{
    QList<StepAnnotation> marks;
    for (const QRectF& r : rects)
        marks.append(mark(Kind::Blur, r));
    return marks;
}

QImage checkerboard(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, ((x / 2 + y / 2) % 2) ? 0xffffffff : 0xff000000);
    return image;
}

// Noise everywhere, from a seed, so that two images differ in every pixel.
QImage noise(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = 0xff000000u | (rng.generate() & 0xffffffu);
    }
    return image;
}

bool covered(const QList<QRect>& areas, QPoint p)
{
    return std::any_of(areas.cbegin(), areas.cend(), [&](const QRect& r) { return r.contains(p); });
}

} // namespace

TEST(RedactionTest, CoversPartialPixelsAndIgnoresMarksOffTheImage)
{
    const QImage image = checkerboard(100, 50);
    // A stroke of text-like contrast is gone under the mark.
    const QImage out
        = redacted(image, blurs({ QRectF(0.105, 0, 0.5, 1), QRectF(2, 2, 1, 1), QRectF(0.9, 0.9, -0.1, -0.1) }));
    for (int x : { 10, 30, 60 })
        for (int y : { 0, 25, 49 })
            EXPECT_LT(std::abs(qGray(out.pixel(x, y)) - 128), 60) << x << "," << y;
    EXPECT_EQ(out.copy(0, 0, 10, 50), image.copy(0, 0, 10, 50));
    EXPECT_EQ(out.copy(61, 0, 19, 45), image.copy(61, 0, 19, 45));
    EXPECT_NE(out.copy(80, 40, 10, 5), image.copy(80, 40, 10, 5)) << "a negative size counts from its corner";
    EXPECT_EQ(redacted(image, {}), image);
}

TEST(RedactionTest, MarksFarOffOrUnplaceableAreSafe)
{
    const QImage image = checkerboard(60, 40);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double huge = 1e308;
    struct Row {
        const char* name;
        QRectF rect;
        bool changesAll;
    };
    const QList<Row> rows = {
        { "huge mark covers the whole image", QRectF(-huge / 2, -huge / 2, huge, huge), true },
        { "beyond both edges", QRectF(-5, -5, 10, 10), true },
        { "not a number", QRectF(nan, 0, 0.5, 0.5), false },
        { "far to the right", QRectF(huge, 0, 1, 1), false },
        { "zero size", QRectF(0.5, 0.5, 0, 0), false },
    };
    for (const Row& row : rows) {
        const QImage out = redacted(image, blurs({ row.rect }));
        ASSERT_EQ(out.size(), image.size()) << row.name;
        if (row.changesAll) {
            for (const QPoint p : { QPoint(0, 0), QPoint(59, 39), QPoint(30, 20) })
                EXPECT_LT(std::abs(qGray(out.pixel(p)) - 128), 60) << row.name;
        } else {
            EXPECT_EQ(out.convertToFormat(QImage::Format_RGB32), image) << row.name;
        }
    }
}

TEST(RedactionTest, AreasAreTheTouchedPixelsOfBlurMarksOnly)
{
    const QSize size(200, 100);
    struct Row {
        const char* name;
        QList<StepAnnotation> marks;
        QList<QRect> areas;
    };
    const QList<Row> rows = {
        { "whole pixels", blurs({ QRectF(0.25, 0.5, 0.5, 0.25) }), { QRect(50, 50, 100, 25) } },
        { "partly touched pixels count", blurs({ QRectF(0.2525, 0.505, 0.1, 0.1) }), { QRect(50, 50, 21, 11) } },
        { "negative size from its corner", blurs({ QRectF(0.5, 0.5, -0.25, -0.5) }), { QRect(50, 0, 50, 50) } },
        { "clipped at the edges", blurs({ QRectF(-1, 0.9, 3, 7) }), { QRect(0, 90, 200, 10) } },
        { "off the image", blurs({ QRectF(1.01, 0, 1, 1), QRectF(0, -2, 1, 1) }), {} },
        { "other kinds hide nothing",
            { mark(Kind::Arrow, QRectF(0, 0, 1, 1)), mark(Kind::Highlight, QRectF(0, 0, 1, 1)),
                mark(Kind::Text, QRectF(0, 0, 1, 1)) },
            {} },
    };
    for (const Row& row : rows)
        EXPECT_EQ(redactedAreas(size, row.marks), row.areas) << row.name;
    EXPECT_TRUE(redactedAreas(QSize(), blurs({ QRectF(0, 0, 1, 1) })).isEmpty());
}

// Whatever lies under the marks, the result is the same: it is built only from
// the pixels that no mark covers, also where one mark's surroundings lie under another.
TEST(RedactionTest, NothingUnderAMarkSurvives)
{
    struct Row {
        const char* name;
        QSize size;
        QList<QRectF> rects;
    };
    const QList<Row> rows = {
        { "one mark in the middle", { 320, 200 }, { QRectF(0.3, 0.3, 0.4, 0.4) } },
        { "one pixel", { 50, 50 }, { QRectF(0.5, 0.5, 0.01, 0.01) } },
        { "overlapping and touching marks", { 300, 300 },
            { QRectF(0.1, 0.1, 0.3, 0.3), QRectF(0.35, 0.2, 0.3, 0.1), QRectF(0.65, 0.2, 0.2, 0.5) } },
        { "one mark in another's surroundings", { 400, 300 },
            { QRectF(0.2, 0.2, 0.2, 0.2), QRectF(0.41, 0.2, 0.02, 0.2) } },
        { "at the corner and the edge", { 256, 128 }, { QRectF(-0.1, -0.1, 0.3, 0.5), QRectF(0.8, 0.5, 0.5, 0.1) } },
        { "most of a large image", { 1920, 1080 }, { QRectF(0.01, 0.01, 0.98, 0.97) } },
    };
    for (const Row& row : rows) {
        const QList<StepAnnotation> marks = blurs(row.rects);
        const QList<QRect> areas = redactedAreas(row.size, marks);
        ASSERT_FALSE(areas.isEmpty()) << row.name;
        // The same surroundings, different secrets.
        QImage a = noise(row.size, 1), b = a;
        const QImage other = noise(row.size, 2);
        for (int y = 0; y < row.size.height(); ++y)
            for (int x = 0; x < row.size.width(); ++x)
                if (covered(areas, { x, y }))
                    b.setPixel(x, y, other.pixel(x, y));
        const QImage ra = redacted(a, marks), rb = redacted(b, marks);
        EXPECT_EQ(ra, rb) << row.name;
        // Around the marks every pixel is the original.
        bool same = true;
        for (int y = 0; y < row.size.height() && same; ++y)
            for (int x = 0; x < row.size.width() && same; ++x)
                same = covered(areas, { x, y }) || ra.pixel(x, y) == a.pixel(x, y);
        EXPECT_TRUE(same) << row.name;
    }
}

// It reads as a blur of what is around: a flat background stays that colour, and
// a mark across two colours runs from one to the other.
TEST(RedactionTest, FillFollowsTheSurroundings)
{
    QImage flat(200, 120, QImage::Format_RGB32);
    flat.fill(qRgb(30, 140, 90));
    const QImage out = redacted(flat, blurs({ QRectF(0.2, 0.2, 0.6, 0.6) }));
    for (const QPoint p : { QPoint(40, 24), QPoint(100, 60), QPoint(159, 95) })
        EXPECT_EQ(out.pixel(p), qRgb(30, 140, 90));

    QImage split(300, 100, QImage::Format_RGB32);
    split.fill(qRgb(220, 20, 20));
    QPainter(&split).fillRect(150, 0, 150, 100, qRgb(20, 20, 220));
    const QImage across = redacted(split, blurs({ QRectF(0.2, 0.1, 0.6, 0.8) }));
    int lastRed = 256;
    for (int x = 60; x < 240; x += 10) {
        const QRgb p = across.pixel(x, 50);
        EXPECT_LE(qRed(p), lastRed + 2) << x;
        lastRed = qRed(p);
    }
    EXPECT_GT(qRed(across.pixel(62, 50)), 180) << "red beside the red side";
    EXPECT_GT(qBlue(across.pixel(237, 50)), 180) << "blue beside the blue side";
}

TEST(RedactionTest, WithoutBlurMarksTheImageIsUntouched)
{
    const QImage image = checkerboard(40, 30);
    const QImage out = redacted(image, { mark(Kind::Arrow, QRectF(0, 0, 1, 1)) });
    EXPECT_EQ(out.cacheKey(), image.cacheKey()) << "no copy is made";
    QImage alpha(40, 30, QImage::Format_ARGB32);
    alpha.fill(qRgba(10, 20, 30, 128));
    EXPECT_EQ(redacted(alpha, blurs({ QRectF(0.25, 0.25, 0.5, 0.5) })).pixel(20, 15), qRgba(10, 20, 30, 128))
        << "transparency is kept";
}
