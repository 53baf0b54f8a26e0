#include "style/ZOVAColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <initializer_list>

namespace zova {

namespace {

QPalette currentPalette() { return QGuiApplication::palette(); }

QColor withAlpha(QColor c, double alpha)
{
    c.setAlphaF(float(alpha));
    return c;
}

QColor srgb(int r, int g, int b)
{
    return QColor::fromRgbF(float(r / 255.0), float(g / 255.0), float(b / 255.0), 1.0f);
}

QLinearGradient diagonal(const QRectF& rect, std::initializer_list<QColor> stops)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    const int n = int(stops.size());
    int i = 0;
    for (const QColor& c : stops) {
        gradient.setColorAt(n == 1 ? 0.0 : double(i) / double(n - 1), c);
        ++i;
    }
    return gradient;
}

} // namespace

namespace ZOVAColor {
QColor separator() { return withAlpha(currentPalette().color(QPalette::WindowText), 0.1); }
QColor label() { return currentPalette().color(QPalette::WindowText); }
QColor secondaryLabel() { return withAlpha(label(), 0.5); }
QColor tertiaryLabel() { return withAlpha(label(), 0.26); }
QColor accent() { return currentPalette().color(QPalette::Highlight); }
QColor magenta() { return srgb(255, 61, 138); }
QColor amber() { return srgb(245, 158, 11); }
QColor emerald() { return srgb(16, 185, 129); }
QColor coral() { return srgb(255, 122, 89); }
QColor purple() { return accent(); }
QColor ink2() { return label(); }
QColor inkText() { return label(); }
} // namespace ZOVAColor

namespace ZOVAGradient {
QLinearGradient brand(const QRectF& rect) { return diagonal(rect, { ZOVAColor::accent(), ZOVAColor::accent() }); }
QLinearGradient ai(const QRectF& rect)
{
    return diagonal(
        rect, { srgb(0xE8, 0x8B, 0xB7), srgb(0xA7, 0x8B, 0xDF), srgb(0x6C, 0x92, 0xE8), srgb(0x6E, 0xC7, 0xD6) });
}
QLinearGradient accent(const QRectF& rect) { return diagonal(rect, { ZOVAColor::amber(), ZOVAColor::coral() }); }
QLinearGradient record(const QRectF& rect)
{
    return diagonal(rect, { srgb(0xFF, 0x3D, 0x6E), srgb(0xFF, 0x5F, 0xA7) });
}
} // namespace ZOVAGradient

} // namespace zova
