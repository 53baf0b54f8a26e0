#include "recording_ui/StatusMarkView.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

StatusMarkView::StatusMarkView(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(32, 30);
}

void StatusMarkView::setState(bool warning, qreal ringOpacity)
{
    if (warning == m_warning && ringOpacity == m_ringOpacity)
        return;
    m_warning = warning;
    m_ringOpacity = ringOpacity;
    update();
}

void StatusMarkView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    if (m_warning) {
        Symbols::paint(
            painter, QRectF(rect()), QStringLiteral("exclamationmark.triangle.fill"), 14, ZOVAColor::amber());
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ZOVAColor::magenta());
    painter.drawEllipse(centre, 5, 5);
    // A 22-point ring of line width 4, the line centred on its edge.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Shapes::withAlpha(ZOVAColor::magenta(), 0.4 * m_ringOpacity), 4));
    painter.drawEllipse(centre, 11, 11);
}

} // namespace zova
