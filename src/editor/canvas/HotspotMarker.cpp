#include "editor/canvas/HotspotMarker.h"

#include "style/Shapes.h"
#include "style/ZOVAColor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace zova {

HotspotMarker::HotspotMarker(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("hotspotMarker"));
    setFixedSize(side, side);
    // Only the circle takes the pointer; the corners belong to what lies beneath.
    setMask(QRegion(rect(), QRegion::Ellipse));
    setCursor(Qt::OpenHandCursor);
    setToolTip(QStringLiteral("Drag to adjust the click position"));
}

void HotspotMarker::setCentre(QPointF centre)
{
    move(int(std::lround(centre.x() - side / 2.0)), int(std::lround(centre.y() - side / 2.0)));
}

void HotspotMarker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c(side / 2.0, side / 2.0);
    const QColor magenta = ZOVAColor::magenta();
    auto circle
        = [&](qreal diameter) { return QRectF(c.x() - diameter / 2, c.y() - diameter / 2, diameter, diameter); };
    QPainterPath disc;
    disc.addEllipse(circle(24));
    Shapes::paintShadow(painter, disc, Shapes::withAlpha(magenta, 0.45), 4, QPointF());
    // The glass disc under the rings.
    painter.fillPath(disc, Shapes::withAlpha(Shapes::controlBackground(), 0.45));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Shapes::withAlpha(magenta, 0.30), 3));
    painter.drawEllipse(circle(24 - 3));
    painter.setPen(QPen(magenta, 2));
    painter.drawEllipse(circle(14 - 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Shapes::withAlpha(magenta, 0.32));
    painter.drawEllipse(circle(8));
}

void HotspotMarker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressGlobal = event->globalPosition();
    setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void HotspotMarker::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressGlobal)
        return;
    emit dragged(event->globalPosition() - *m_pressGlobal);
}

void HotspotMarker::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        finish();
}

void HotspotMarker::changeEvent(QEvent* event)
{
    // A drag cut short (the widget hidden or disabled) still ends.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        finish();
    QWidget::changeEvent(event);
}

void HotspotMarker::hideEvent(QHideEvent* event)
{
    finish();
    QWidget::hideEvent(event);
}

void HotspotMarker::finish()
{
    if (!m_pressGlobal)
        return;
    m_pressGlobal.reset();
    setCursor(Qt::OpenHandCursor);
    emit released();
}

} // namespace zova
