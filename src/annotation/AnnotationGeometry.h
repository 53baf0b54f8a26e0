#pragma once

#include "model/StepAnnotation.h"

#include <QLineF>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <optional>

// Where marks sit on a screenshot, as pure functions of fractions (0..1 of the
// screenshot's width and height, origin top left) and drawing rectangles.
namespace zova::annotation {

// A fraction limited to 0..1; not-a-number gives 0.
double clampUnit(double value);

// A point of a layer of `size` as fractions of it, each limited to 0..1; (0, 0)
// while the size is not positive.
QPointF unitPoint(QPointF point, QSizeF size);

// The rectangle a drag from `start` to `current` draws (fractions): the smaller
// corner, at least 0.005 each way.
QRectF draftRect(QPointF start, QPointF current);
// A drag draws a mark only when it moved strictly more than 0.005 on both axes.
bool draftIsLargeEnough(QPointF start, QPointF current);

// The top-left corner of the mark after a move by (dx, dy) fractions, kept so that
// the mark stays inside the screenshot where it fits.
QPointF movedOrigin(const StepAnnotation& mark, double dx, double dy);

// Where a mark is drawn over a screenshot shown in `target`: never smaller than
// 8 x 8 units.
QRectF renderedRect(const StepAnnotation& mark, const QRectF& target);

// An arrow in its box: the shaft from the top-left to the bottom-right corner and
// two head strokes back from its tip, each pi/7 off the shaft and at most 20 long.
struct ArrowLines {
    QLineF shaft;
    QLineF headLeft;
    QLineF headRight;
};
ArrowLines arrowLines(const QRectF& box);
QPainterPath arrowPath(const QRectF& box);

// The cut of a crop: the chosen rectangle limited to the image and whole pixels.
struct Crop {
    QRect pixels; // in the bitmap, top-left origin
    // The kept pixels as fractions of the old image; the remaps use these, so
    // hotspot and marks land on the pixels that were kept.
    double x = 0;
    double y = 0;
    double width = 1;
    double height = 1;
};
// The crop of an image of `imageSize` for a rectangle in fractions: the origin is
// limited to 0..1, the size to what is left of the image from there; no value
// when less than one pixel remains either way.
std::optional<Crop> cropFor(const QRectF& rect, QSize imageSize);
// The hotspot in the cropped image; a click outside the crop sits on its nearest edge.
QPointF remapHotspot(QPointF hotspot, const Crop& crop);
// The mark clipped to the crop, in the cropped image; no value when it lies wholly
// outside (touching an edge keeps it). Identity, kind, rotation, text and colour stay.
std::optional<StepAnnotation> remapAnnotation(const StepAnnotation& mark, const Crop& crop);
QList<StepAnnotation> remapAnnotations(const QList<StepAnnotation>& marks, const Crop& crop);

} // namespace zova::annotation
