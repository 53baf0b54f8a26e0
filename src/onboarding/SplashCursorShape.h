#pragma once

#include <QPainterPath>
#include <QRectF>

namespace zova {

// The splash's pointer glyph: one closed seven-point outline whose tip is the
// rectangle's top-left corner.
struct SplashCursorShape {
    static QPainterPath path(const QRectF& rect);
};

} // namespace zova
