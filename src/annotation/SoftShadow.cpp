#include "annotation/SoftShadow.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zova::annotation {

void boxLine(uchar* data, int n, int stride, int r, std::vector<int>& tmp, bool clampEdges)
{
    if (n <= 0)
        return;
    tmp.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        tmp[size_t(i)] = data[ptrdiff_t(i) * stride];
    // Outside the line: zero, or the edge sample repeated.
    const auto at = [&](int i) {
        if (i >= 0 && i < n)
            return tmp[size_t(i)];
        return clampEdges ? tmp[size_t(i < 0 ? 0 : n - 1)] : 0;
    };
    const int window = 2 * r + 1;
    int sum = 0;
    for (int i = -r; i <= r; ++i)
        sum += at(i);
    for (int i = 0; i < n; ++i) {
        data[ptrdiff_t(i) * stride] = uchar((sum + window / 2) / window);
        sum += at(i + r + 1) - at(i - r);
    }
}

void boxBlurAlpha(QImage& img, int radius)
{
    if (radius <= 0 || img.isNull())
        return;
    std::vector<int> tmp;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < img.height(); ++y)
            boxLine(img.scanLine(y), img.width(), 1, radius, tmp, false);
        const int stride = int(img.bytesPerLine());
        uchar* base = img.bits();
        for (int x = 0; x < img.width(); ++x)
            boxLine(base + x, img.height(), stride, radius, tmp, false);
    }
}

void drawSoftShadow(QPainter& painter, const QPainterPath& shape, double blurRadius, const QColor& color)
{
    // The blur is done at a quarter of the resolution: a shadow has no detail to lose.
    constexpr double scale = 0.25;
    const double margin = blurRadius * 1.5;
    const QRectF area = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    const QSize size(
        std::max(1, int(std::ceil(area.width() * scale))), std::max(1, int(std::ceil(area.height() * scale))));
    QImage mask(size, QImage::Format_Alpha8);
    if (mask.isNull())
        return;
    mask.fill(0);
    {
        QPainter mp(&mask);
        mp.setRenderHint(QPainter::Antialiasing);
        mp.scale(scale, scale);
        mp.translate(-area.topLeft());
        mp.fillPath(shape, Qt::black);
    }
    // A blur radius b behaves like a Gaussian of sigma b / 2; three box passes of
    // radius r give sigma^2 = r (r + 1), so r is about sigma.
    boxBlurAlpha(mask, std::max(1, int(std::lround(blurRadius / 2 * scale))));
    QImage tinted(size, QImage::Format_ARGB32_Premultiplied);
    tinted.fill(color);
    {
        QPainter tp(&tinted);
        tp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        tp.drawImage(0, 0, mask);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(area.topLeft(), QSizeF(size) / scale), tinted);
    painter.restore();
}

} // namespace zova::annotation
