#include "style/ZOVAMark.h"

#include "style/Shapes.h"

#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace zova {

namespace {
constexpr QPointF unitPointer[]
    = { { 0, 0 }, { 0, 0.86 }, { 0.27, 0.65 }, { 0.43, 1.0 }, { 0.59, 0.945 }, { 0.435, 0.595 }, { 0.71, 0.595 } };
constexpr qreal rotation = std::numbers::pi / 15.0; // 12 degrees, clockwise on screen
} // namespace

ZOVAMark::Geometry ZOVAMark::geometry(qreal size)
{
    const qreal w = size, h = size;
    Geometry g;
    g.cornerRadius = size * 0.225;
    g.center = QPointF(0.39 * w, 0.34 * h);
    g.outerRippleRadius = 0.3 * w;
    g.outerRippleWidth = qMax(0.024 * w, 1.0);
    g.innerRippleRadius = 0.2 * w;
    g.innerRippleWidth = qMax(0.03 * w, 1.2);
    g.pointerScale = 0.42 * qMin(w, h);
    const qreal c = std::cos(rotation), s = std::sin(rotation);
    for (const QPointF& p : unitPointer) {
        const qreal x = p.x() * g.pointerScale, y = p.y() * g.pointerScale;
        // y grows downwards, so this turns +x towards +y: clockwise on screen.
        g.pointer << QPointF(x * c - y * s, x * s + y * c) + g.center;
    }
    g.pointerOutlineWidth = qMax(0.018 * w, 0.5);
    return g;
}

ZOVAMark::ZOVAMark(qreal size, bool glow, bool showRipples, QWidget* parent)
    : QWidget(parent)
    , m_size(size)
    , m_glow(glow)
    , m_showRipples(showRipples)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(sizeHint());
}

qreal ZOVAMark::shadowMargin(qreal size, bool glow) { return glow ? std::ceil(size * 0.18 + size * 0.06) : 2.0; }

QSize ZOVAMark::sizeHint() const
{
    const int side = qCeil(m_size + 2 * shadowMargin(m_size, m_glow));
    return QSize(side, side);
}

void ZOVAMark::paint(QPainter& painter, QPointF origin, qreal size, bool glow, bool showRipples)
{
    const Geometry g = geometry(size);
    const QRectF box(0, 0, size, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);
    const QPainterPath body = Shapes::roundedRect(box, g.cornerRadius);

    if (glow)
        Shapes::paintShadow(
            painter, body, QColor::fromRgbF(1.0f, 61 / 255.f, 138 / 255.f, 0.45f), size * 0.18, { 0, size * 0.06 });
    else
        Shapes::paintShadow(painter, body, Shapes::withAlpha(Qt::black, 0.2), 1.5, { 0, 0.5 });

    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0.0, QColor(255, 61, 138));
    fill.setColorAt(0.5, QColor(168, 85, 247));
    fill.setColorAt(1.0, QColor(79, 70, 229));
    painter.fillPath(body, fill);

    QRadialGradient sheen(QPointF(0.32 * size, 0.18 * size), size * 0.62);
    sheen.setColorAt(0.0, Shapes::withAlpha(Qt::white, 0.22));
    sheen.setColorAt(1.0, Shapes::withAlpha(Qt::white, 0.0));
    painter.fillPath(body, sheen);

    if (showRipples) {
        QPen outer(Shapes::withAlpha(Qt::white, 0.38), g.outerRippleWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        outer.setMiterLimit(10);
        painter.setPen(outer);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(g.center, g.outerRippleRadius, g.outerRippleRadius);
        QPen inner(Shapes::withAlpha(Qt::white, 0.62), g.innerRippleWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        inner.setMiterLimit(10);
        painter.setPen(inner);
        painter.drawEllipse(g.center, g.innerRippleRadius, g.innerRippleRadius);
    }

    QPainterPath pointer;
    pointer.addPolygon(g.pointer);
    pointer.closeSubpath();
    pointer.setFillRule(Qt::WindingFill);
    painter.fillPath(pointer, Qt::white);
    painter.setPen(QPen(Qt::white, g.pointerOutlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(pointer);
    painter.restore();
}

void ZOVAMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const qreal m = (width() - m_size) / 2.0;
    paint(painter, QPointF(m, (height() - m_size) / 2.0), m_size, m_glow, m_showRipples);
}

} // namespace zova
