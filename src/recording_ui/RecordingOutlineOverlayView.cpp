#include "recording_ui/RecordingOutlineOverlayView.h"

#include "base/NotifyingProperty.h"
#include "style/Shapes.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

namespace zova {

RecordingOutlineOverlayView::RecordingOutlineOverlayView(bool isDisplay, bool translucent, QWidget* parent)
    : QWidget(parent)
    , m_isDisplay(isDisplay)
    , m_shaped(!translucent)
{
    setObjectName(QStringLiteral("recordingOutline"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    for (auto [from, to] : { std::pair { 1.0, 0.65 }, std::pair { 0.65, 1.0 } }) {
        auto* half = new QPropertyAnimation(this, "outlineOpacity", &m_pulse);
        half->setDuration(1000);
        half->setStartValue(from);
        half->setEndValue(to);
        half->setEasingCurve(QEasingCurve::InOutSine);
        m_pulse.addAnimation(half);
    }
    m_pulse.setLoopCount(-1);
}

QColor RecordingOutlineOverlayView::outlineColor() { return QColor(255, 59, 48); }

void RecordingOutlineOverlayView::setOutlineOpacity(qreal opacity)
{
    if (!assignIfChanged(m_opacity, opacity))
        return;
    update();
}

void RecordingOutlineOverlayView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateShape();
    if (m_isPulsing)
        return;
    m_isPulsing = true;
    m_pulse.start();
}

void RecordingOutlineOverlayView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_shaped) {
        // Only the ring is on screen, and nothing shows through it.
        painter.fillRect(rect(), Qt::black);
    } else {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    painter.setOpacity(m_opacity);
    const QPainterPath edge = Shapes::roundedRect(QRectF(rect()), cornerRadius());
    QPainterPathStroker stroker;
    stroker.setWidth(lineWidth);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setMiterLimit(10);
    const QPainterPath line = stroker.createStroke(edge);
    if (!m_shaped)
        Shapes::paintShadow(painter, line, Shapes::withAlpha(outlineColor(), 0.6), shadowRadius, QPointF(0, 0));
    painter.fillPath(line, outlineColor());
}

void RecordingOutlineOverlayView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateShape();
}

void RecordingOutlineOverlayView::updateShape()
{
    if (!m_shaped || width() <= 0 || height() <= 0)
        return;
    QBitmap ring(size());
    ring.fill(Qt::color0);
    QPainter painter(&ring);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path = Shapes::roundedRect(QRectF(rect()), cornerRadius());
    const QRectF inner = QRectF(rect()).adjusted(shapedRingDepth, shapedRingDepth, -shapedRingDepth, -shapedRingDepth);
    if (inner.isValid())
        path.addPath(Shapes::roundedRect(inner, std::max<qreal>(0, cornerRadius() - shapedRingDepth)));
    path.setFillRule(Qt::OddEvenFill);
    painter.fillPath(path, Qt::color1);
    painter.end();
    setMask(ring);
}

} // namespace zova
