#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <array>
#include <optional>

// The crop overlay's geometry: the image fitted into the view, the crop rectangle
// (fractions 0..1 of the image, origin top left) in view units, its handles, and
// what a drag inside it or on a handle makes of it. Pure functions.
namespace zova::crop_geometry {

// The smallest width and height, as fractions of the image, that resizing leaves.
inline constexpr double defaultMinSize = 0.05;
// The move area leaves this much of each side of the rectangle to the handles.
inline constexpr double moveAreaInset = 12;
inline constexpr double handleDiameter = 14;

enum class Handle { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left };
inline constexpr std::array<Handle, 8> handles = { Handle::TopLeft, Handle::Top, Handle::TopRight, Handle::Right,
    Handle::BottomRight, Handle::Bottom, Handle::BottomLeft, Handle::Left };

// The image of `imageSize` scaled to fit `area` whole, centred in it.
QRectF fit(QSizeF imageSize, QSizeF area);
// The crop (fractions) in view units over an image shown at `image`.
QRectF viewRect(const QRectF& crop, const QRectF& image);
// Where a drag inside the rectangle moves it from: the rectangle less the inset
// on each side; empty when the rectangle is too small for one.
QRectF moveArea(const QRectF& viewRect);
QPointF handlePosition(Handle handle, const QRectF& viewRect);
// The handle whose circle holds the point; the later handle wins where two overlap.
std::optional<Handle> handleAt(QPointF point, const QRectF& viewRect);

// A drag's translation in view units as fractions of the fitted image.
QPointF normalisedTranslation(QPointF translation, QSizeF fitted);
// The rectangle at the drag's start, moved by (dx, dy) fractions: same size,
// stopped at the image's edges.
QRectF moved(const QRectF& start, QPointF delta);
// The rectangle at the drag's start with the edges that `handle` owns moved by
// (dx, dy) fractions: each stops at the image's border and at `minSize` from
// the opposite edge; the other edges stay.
QRectF resized(const QRectF& start, Handle handle, QPointF delta, double minSize = defaultMinSize);

} // namespace zova::crop_geometry
