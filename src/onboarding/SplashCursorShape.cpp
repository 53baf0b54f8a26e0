#include "onboarding/SplashCursorShape.h"

#include <QPolygonF>

namespace zova {

QPainterPath SplashCursorShape::path(const QRectF& rect)
{
    const qreal w = rect.width();
    const qreal h = rect.height();
    const QPointF o = rect.topLeft();
    const QPolygonF outline { o + QPointF(0, 0), o + QPointF(0, 0.86 * h), o + QPointF(0.27 * w, 0.65 * h),
        o + QPointF(0.43 * w, h), o + QPointF(0.59 * w, 0.945 * h), o + QPointF(0.435 * w, 0.595 * h),
        o + QPointF(0.71 * w, 0.595 * h) };
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

} // namespace zova
