#include "editor/canvas/CanvasFit.h"

#include <algorithm>

namespace zova::canvas_fit {

QSizeF fittedSize(QSizeF image, QSizeF box)
{
    if (box.width() <= 0 || box.height() <= 0 || image.width() <= 0 || image.height() <= 0)
        return QSizeF(0, 0);
    const qreal imageAspect = image.width() / std::max<qreal>(image.height(), 1);
    const qreal boxAspect = box.width() / std::max<qreal>(box.height(), 1);
    if (boxAspect < imageAspect) {
        const qreal width = fillShare * box.width();
        return { width, width / imageAspect };
    }
    const qreal height = fillShare * box.height();
    return { height * imageAspect, height };
}

QRectF fittedRect(QSizeF image, QSizeF box)
{
    const QSizeF size = fittedSize(image, box);
    return { QPointF((box.width() - size.width()) / 2, (box.height() - size.height()) / 2), size };
}

QPointF hotspotPoint(const QRectF& displayed, QPointF hotspot)
{
    return { displayed.x() + displayed.width() * hotspot.x(), displayed.y() + displayed.height() * hotspot.y() };
}

std::optional<QPointF> draggedHotspot(QPointF stored, QPointF translation, QSizeF displayed)
{
    if (displayed.width() <= 0 || displayed.height() <= 0)
        return std::nullopt;
    return QPointF(std::clamp(stored.x() + translation.x() / displayed.width(), 0.0, 1.0),
        std::clamp(stored.y() + translation.y() / displayed.height(), 0.0, 1.0));
}

} // namespace zova::canvas_fit
