#pragma once

#include <QImage>
#include <QPointF>
#include <QRegion>

namespace zova {

// A copy of `image` in which only `visibleArea` (image pixels) shows: the rest
// is painted over in the colour that surrounds the click there, so that text
// of other windows cannot be read. `image` itself when the area covers it
// whole; an empty area hides everything.
QImage showOnlyVisibleArea(const QImage& image, const QRegion& visibleArea, QPointF clickPixel);

} // namespace zova
