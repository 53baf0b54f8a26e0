#pragma once

#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

namespace zova::CachedPaint {

// Paints what `draw` paints within `rect` from an image of it kept under `key`
// (with the rect's size and place within a device pixel, the scale and the
// application palette): blending one image costs far less than the
// antialiased fills, clips and scaled images it stands for, and gives the same
// pixels. Draws directly when the painter scales unevenly, rotates, has an
// opacity or a composition mode of its own, or the scale is fractional.
void paint(QPainter& painter, const QRectF& rect, const QString& key, const std::function<void(QPainter&)>& draw);
// Forgets every kept image.
void clear();

} // namespace zova::CachedPaint
