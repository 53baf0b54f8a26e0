#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace zova::canvas_fit {

// The share of the limiting side that the fitted screenshot takes.
inline constexpr qreal fillShare = 0.92;

// The displayed size of an image fitted into a box: limited by width when the
// image is relatively wider than the box, else (equal aspects too) by height, at
// fillShare of the limiting side. A zero side of the box gives 0 x 0.
QSizeF fittedSize(QSizeF image, QSizeF box);
// The fitted size centred in the box.
QRectF fittedRect(QSizeF image, QSizeF box);
// Where a hotspot (fractions of the image) lies on the displayed image.
QPointF hotspotPoint(const QRectF& displayed, QPointF hotspot);
// The hotspot after the pointer moved `translation` since the press: the stored
// hotspot plus the movement in fractions of the displayed image, each axis
// clamped to 0..1. None while a displayed side is 0.
std::optional<QPointF> draggedHotspot(QPointF stored, QPointF translation, QSizeF displayed);

} // namespace zova::canvas_fit
