#pragma once

#include <QPointF>
#include <QRectF>

namespace zova {

// Where a click lies in the target, as fractions of its width and height from
// the top-left corner.
struct StepHotspot {
    QPointF raw; // unclamped; sides under 1 count as 1
    QPointF clamped; // each axis in 0..1, NaN and negatives as 0
};

StepHotspot stepHotspot(QPointF point, const QRectF& reference);

} // namespace zova
