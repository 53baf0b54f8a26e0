#include "engine/StepHotspot.h"

#include <algorithm>

namespace zova {

namespace {

double clampUnit(double v)
{
    if (!(v >= 0))
        return 0;
    return std::min(v, 1.0);
}

} // namespace

StepHotspot stepHotspot(QPointF point, const QRectF& reference)
{
    const QRectF r = reference.normalized();
    const double rawX = (point.x() - r.x()) / std::max(r.width(), 1.0);
    const double rawY = (point.y() - r.y()) / std::max(r.height(), 1.0);
    return { QPointF(rawX, rawY), QPointF(clampUnit(rawX), clampUnit(rawY)) };
}

} // namespace zova
