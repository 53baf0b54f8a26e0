#include "style/PillStyle.h"

#include "style/Shapes.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

namespace {

struct Layers {
    QBrush fill = Qt::NoBrush;
    QColor glassTint; // invalid: no glass
    qreal hairline = -1; // white hairline opacity; negative: none
    QColor labelBorder; // ghost: label-coloured border
    QColor shadow;
    qreal shadowRadius = 0;
    QPointF shadowOffset;
};

Layers layersFor(const PillStyle::Variant& v, const QRectF& r)
{
    using K = PillStyle::Variant::Kind;
    Layers l;
    switch (v.kind) {
    case K::Glass:
        l.glassTint = v.dark ? Shapes::withAlpha(Qt::white, 0.1) : Shapes::withAlpha(Shapes::controlBackground(), 0.35);
        break;
    case K::Primary:
        l.fill = ZOVAColor::accent();
        l.glassTint = Shapes::withAlpha(ZOVAColor::accent(), 0.15);
        l.hairline = 0.25;
        l.shadow = Shapes::withAlpha(Qt::black, 0.15);
        l.shadowRadius = 3;
        l.shadowOffset = { 0, 1 };
        break;
    case K::Ai:
        l.fill = ZOVAGradient::ai(r);
        l.glassTint = Shapes::withAlpha(Qt::white, 0.1);
        l.hairline = 0.35;
        l.shadow = Shapes::withAlpha(Qt::black, 0.15);
        l.shadowRadius = 6;
        l.shadowOffset = { 0, 3 };
        break;
    case K::Accent:
        l.fill = ZOVAGradient::accent(r);
        l.hairline = 0.45;
        l.shadow = Shapes::withAlpha(ZOVAColor::amber(), 0.35);
        l.shadowRadius = 6;
        l.shadowOffset = { 0, 3 };
        break;
    case K::Record:
        l.fill = ZOVAGradient::record(r);
        l.glassTint = Shapes::withAlpha(Qt::white, 0.08);
        l.hairline = 0.3;
        l.shadow = Shapes::withAlpha(ZOVAColor::magenta(), 0.35);
        l.shadowRadius = 8;
        l.shadowOffset = { 0, 3 };
        break;
    case K::Ghost: l.labelBorder = Shapes::withAlpha(ZOVAColor::label(), 0.18); break;
    }
    return l;
}

} // namespace

QColor PillStyle::Variant::foreground() const
{
    switch (kind) {
    case Kind::Glass: return dark ? Shapes::withAlpha(Qt::white, 0.95) : ZOVAColor::label();
    case Kind::Primary:
    case Kind::Ai:
    case Kind::Record: return QColor(Qt::white);
    case Kind::Accent: return QColor::fromRgb(58, 26, 0);
    case Kind::Ghost: return ZOVAColor::label();
    }
    return ZOVAColor::label();
}

PillStyle::Metrics PillStyle::metrics(Size size)
{
    switch (size) {
    case Size::Sm: return { 11, 10, 24 };
    case Size::Md: return { 12, 13, 30 };
    case Size::Lg: return { 13, 16, 38 };
    }
    return { 12, 13, 30 };
}

QFont PillStyle::font(Size size) { return Typography::semibold(metrics(size).fontSize); }

void PillStyle::paintBackground(QPainter& painter, const QRectF& rect) const
{
    const Layers l = layersFor(variant, rect);
    const QPainterPath shape = Shapes::capsule(rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (l.shadow.isValid())
        Shapes::paintShadow(painter, shape, l.shadow, l.shadowRadius, l.shadowOffset);
    painter.setClipPath(shape);
    if (l.fill.style() != Qt::NoBrush)
        painter.fillPath(shape, l.fill);
    if (l.glassTint.isValid()) {
        painter.fillPath(
            shape, Shapes::withAlpha(Shapes::windowBackground(), variant.kind == Variant::Kind::Glass ? 0.4 : 0.0));
        painter.fillPath(shape, l.glassTint);
    }
    if (l.hairline >= 0)
        pillHairline(painter, rect, l.hairline);
    if (l.labelBorder.isValid())
        Shapes::strokeInside(painter, rect, qMin(rect.width(), rect.height()) / 2, l.labelBorder, 0.5);
    painter.restore();
}

void pillHairline(QPainter& painter, const QRectF& rect, qreal opacity)
{
    Shapes::strokeInside(
        painter, rect, qMin(rect.width(), rect.height()) / 2, Shapes::withAlpha(Qt::white, opacity), 0.5);
}

} // namespace zova
