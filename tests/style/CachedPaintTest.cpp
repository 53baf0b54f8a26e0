#include "style/CachedPaint.h"
#include "style/Shapes.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace zova;

namespace {

// Translucent fills, a hairline and an antialiased clip over a scaled image:
// what the library keeps images of.
void scene(QPainter& p, const QRectF& r)
{
    p.fillPath(Shapes::roundedRect(r, 10), QColor(255, 255, 255, 140));
    QImage content(640, 360, QImage::Format_RGB32);
    content.fill(QColor(0xf4, 0xf4, 0xf6));
    // Scaled to fill its clip, as previews are.
    const QSizeF scaled = QSizeF(content.size()).scaled(r.size(), Qt::KeepAspectRatioByExpanding);
    p.save();
    p.setClipPath(Shapes::roundedRect(r, 10));
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(r.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled), content);
    p.restore();
    Shapes::strokeInside(p, r, 10, QColor(0, 0, 0, 90), 0.5);
}

QImage render(qreal scale, const QTransform& world, const QRectF& r, bool cached)
{
    QImage image(QSize(240, 160) * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(40, 40, 46));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setWorldTransform(world);
    if (cached)
        CachedPaint::paint(p, r, QStringLiteral("test/scene"), [&](QPainter& q) { scene(q, r); });
    else
        scene(p, r);
    return image;
}

int largestDifference(const QImage& a, const QImage& b)
{
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor ca = a.pixelColor(x, y), cb = b.pixelColor(x, y);
            most = std::max({ most, std::abs(ca.red() - cb.red()), std::abs(ca.green() - cb.green()),
                std::abs(ca.blue() - cb.blue()) });
        }
    return most;
}

} // namespace

TEST(CachedPaint, GivesThePixelsOfDrawingDirectly)
{
    const struct {
        const char* name;
        qreal scale;
        QTransform world;
        QRectF rect;
    } rows[] = {
        { "whole pixels", 1, {}, QRectF(20, 20, 160, 100) },
        { "a card's preview", 1, {}, QRectF(38, 94.5, 168, 105) },
        { "within a pixel", 1, {}, QRectF(20.4, 19.75, 160.3, 100.6) },
        { "moved by the painter", 1, QTransform::fromTranslate(7.5, 3), QRectF(20, 20, 160, 100) },
        { "twice the pixels", 2, {}, QRectF(20.25, 20.5, 160, 100) },
        { "rotated: drawn directly", 1, QTransform().rotate(3), QRectF(20, 20, 160, 100) },
        { "fractional scale: drawn directly", 1.5, {}, QRectF(20, 20, 160, 100) },
    };
    for (const auto& row : rows) {
        CachedPaint::clear();
        const QImage direct = render(row.scale, row.world, row.rect, false);
        // Twice: once drawn into the kept image, once from it.
        EXPECT_LE(largestDifference(direct, render(row.scale, row.world, row.rect, true)), 3) << row.name;
        EXPECT_LE(largestDifference(direct, render(row.scale, row.world, row.rect, true)), 3) << row.name;
    }
}

TEST(CachedPaint, KeepsOneImagePerKeyAndPlace)
{
    CachedPaint::clear();
    int draws = 0;
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    const auto paintAt = [&](const QRectF& r, const QString& key) {
        CachedPaint::paint(p, r, key, [&](QPainter& q) {
            ++draws;
            q.fillRect(r, Qt::red);
        });
    };
    paintAt(QRectF(0, 0, 50, 50), QStringLiteral("a"));
    paintAt(QRectF(100, 20, 50, 50), QStringLiteral("a")); // the same image, elsewhere
    EXPECT_EQ(draws, 1);
    paintAt(QRectF(0.5, 0, 50, 50), QStringLiteral("a")); // another place within a pixel
    paintAt(QRectF(0, 0, 50, 50), QStringLiteral("b"));
    paintAt(QRectF(0, 0, 60, 50), QStringLiteral("a"));
    EXPECT_EQ(draws, 4);
    p.setOpacity(0.5);
    paintAt(QRectF(0, 0, 50, 50), QStringLiteral("a")); // an opacity is drawn directly
    EXPECT_EQ(draws, 5);
    p.end();
    EXPECT_EQ(image.pixelColor(120, 40), QColor(Qt::red));
}
