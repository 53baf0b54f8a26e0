#include "editor/crop/CropGeometry.h"

#include <QLineF>

#include <algorithm>

namespace zova::crop_geometry {

QRectF fit(QSizeF imageSize, QSizeF area)
{
    const double W = area.width(), H = area.height();
    const double aspect = imageSize.width() / std::max(imageSize.height(), 1.0);
    double fitW = W, fitH = W / std::max(aspect, 0.0001);
    if (aspect < W / std::max(H, 1.0)) {
        fitW = aspect * H;
        fitH = H;
    }
    return { (W - fitW) / 2, (H - fitH) / 2, fitW, fitH };
}

QRectF viewRect(const QRectF& crop, const QRectF& image)
{
    return { image.left() + crop.x() * image.width(), image.top() + crop.y() * image.height(),
        crop.width() * image.width(), crop.height() * image.height() };
}

QRectF moveArea(const QRectF& r)
{
    const double w = std::max(r.width() - 2 * moveAreaInset, 0.0), h = std::max(r.height() - 2 * moveAreaInset, 0.0);
    QRectF area(0, 0, w, h);
    area.moveCenter(r.center());
    return area;
}

QPointF handlePosition(Handle handle, const QRectF& r)
{
    switch (handle) {
    case Handle::TopLeft: return { r.left(), r.top() };
    case Handle::Top: return { r.center().x(), r.top() };
    case Handle::TopRight: return { r.right(), r.top() };
    case Handle::Right: return { r.right(), r.center().y() };
    case Handle::BottomRight: return { r.right(), r.bottom() };
    case Handle::Bottom: return { r.center().x(), r.bottom() };
    case Handle::BottomLeft: return { r.left(), r.bottom() };
    case Handle::Left: return { r.left(), r.center().y() };
    }
    return r.topLeft();
}

std::optional<Handle> handleAt(QPointF point, const QRectF& r)
{
    std::optional<Handle> found;
    for (Handle h : handles)
        if (QLineF(point, handlePosition(h, r)).length() <= handleDiameter / 2)
            found = h;
    return found;
}

QPointF normalisedTranslation(QPointF translation, QSizeF fitted)
{
    return { translation.x() / std::max(fitted.width(), 1.0), translation.y() / std::max(fitted.height(), 1.0) };
}

QRectF moved(const QRectF& b, QPointF d)
{
    return { std::min(1 - b.width(), std::max(b.left() + d.x(), 0.0)),
        std::min(1 - b.height(), std::max(b.top() + d.y(), 0.0)), b.width(), b.height() };
}

QRectF resized(const QRectF& b, Handle handle, QPointF d, double s)
{
    double minX = b.left(), minY = b.top(), maxX = b.right(), maxY = b.bottom();
    bool left = false, right = false, top = false, bottom = false;
    switch (handle) {
    case Handle::TopLeft: left = top = true; break;
    case Handle::Top: top = true; break;
    case Handle::TopRight: right = top = true; break;
    case Handle::Right: right = true; break;
    case Handle::BottomRight: right = bottom = true; break;
    case Handle::Bottom: bottom = true; break;
    case Handle::BottomLeft: left = bottom = true; break;
    case Handle::Left: left = true; break;
    }
    if (left)
        minX = std::min(b.right() - s, std::max(b.left() + d.x(), 0.0));
    if (right)
        maxX = std::max(std::min(b.right() + d.x(), 1.0), minX + s);
    if (top)
        minY = std::min(b.bottom() - s, std::max(b.top() + d.y(), 0.0));
    if (bottom)
        maxY = std::max(std::min(b.bottom() + d.y(), 1.0), minY + s);
    return { minX, minY, maxX - minX, maxY - minY };
}

} // namespace zova::crop_geometry
