#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QRectF>

namespace zova {

// Named colours. The system tokens read the application palette each time they
// are called, so light and dark switching needs no cache invalidation.
namespace ZOVAColor {
QColor separator();
QColor label();
QColor secondaryLabel();
QColor tertiaryLabel();
QColor accent();
QColor magenta();
QColor amber();
QColor emerald();
QColor coral();
QColor purple(); // the accent, not a purple literal
QColor ink2();
QColor inkText();
} // namespace ZOVAColor

// Linear gradients from the top-left to the bottom-right corner of the rectangle filled.
namespace ZOVAGradient {
QLinearGradient brand(const QRectF& rect);
QLinearGradient ai(const QRectF& rect);
QLinearGradient accent(const QRectF& rect);
QLinearGradient record(const QRectF& rect);
} // namespace ZOVAGradient

} // namespace zova
