#include "style/Shapes.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace zova::Shapes {

QPainterPath capsule(const QRectF& rect) { return roundedRect(rect, qMin(rect.width(), rect.height()) / 2.0); }

QPainterPath roundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    const qreal r = qMin(radius, qMin(rect.width(), rect.height()) / 2.0);
    path.addRoundedRect(rect, r, r);
    return path;
}

void strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color, qreal width)
{
    const qreal h = width / 2.0;
    const QRectF inner = rect.adjusted(h, h, -h, -h);
    QPen pen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(roundedRect(inner, qMax<qreal>(0, radius - h)));
    painter.restore();
}

void paintShadow(QPainter& painter, const QPainterPath& path, const QColor& color, qreal radius, QPointF offset)
{
    if (color.alphaF() <= 0)
        return;
    // Layers of widening strokes approximate a Gaussian falloff without an offscreen blur.
    const int layers = qBound(1, int(radius * 1.5), 8);
    painter.save();
    painter.translate(offset);
    painter.setBrush(Qt::NoBrush);
    QColor layer = color;
    layer.setAlphaF(float(color.alphaF() / (layers + 1)));
    for (int i = layers; i >= 1; --i) {
        QPen pen(layer, radius * 2.0 * i / layers, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawPath(path);
    }
    painter.fillPath(path, layer);
    painter.restore();
}

QColor controlBackground() { return QGuiApplication::palette().color(QPalette::Base); }

QColor windowBackground() { return QGuiApplication::palette().color(QPalette::Window); }

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace zova::Shapes
