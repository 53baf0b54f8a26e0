#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace zova::Shapes {

// A capsule: a rounded rectangle whose radius is half its shorter side.
QPainterPath capsule(const QRectF& rect);
QPainterPath roundedRect(const QRectF& rect, qreal radius);
// Strokes a path's outline inside its edge: the rectangle is inset by half the line width.
void strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color, qreal width);
// A soft drop shadow of the path: colour, blur radius and offset as a designer gives them.
void paintShadow(QPainter& painter, const QPainterPath& path, const QColor& color, qreal radius, QPointF offset);
// The system control background colour (the palette's base).
QColor controlBackground();
// The system window background colour.
QColor windowBackground();
QColor withAlpha(QColor color, qreal alpha);

} // namespace zova::Shapes
