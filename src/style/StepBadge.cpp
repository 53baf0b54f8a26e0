#include "style/StepBadge.h"

#include "base/NotifyingProperty.h"
#include "style/Shapes.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

namespace {
constexpr qreal margin = 3; // room for the shadow
}

StepBadge::StepBadge(int number, AccentHue hue, qreal size, QWidget* parent)
    : QWidget(parent)
    , m_number(number)
    , m_hue(hue)
    , m_size(size)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(sizeHint());
}

void StepBadge::setNumber(int number)
{
    if (!assignIfChanged(m_number, number))
        return;
    update();
}

QString StepBadge::text(int number)
{
    return QString::number(number); // plain decimal, no grouping
}

QFont StepBadge::font(qreal size) { return Typography::bold(size * 0.46); }

QSize StepBadge::sizeHint() const
{
    const int side = qCeil(m_size + 2 * margin);
    return QSize(side, side);
}

void StepBadge::paint(QPainter& painter, QPointF origin, int number, AccentHue, qreal size)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(origin);
    const QRectF box(0, 0, size, size);
    QPainterPath circle;
    circle.addEllipse(box);
    Shapes::paintShadow(painter, circle, Shapes::withAlpha(Qt::black, 0.14), 2, { 0, 1 });
    painter.fillPath(circle, ZOVAColor::accent());
    QPainterPath rim;
    rim.addEllipse(box.adjusted(0.25, 0.25, -0.25, -0.25));
    painter.setPen(QPen(Shapes::withAlpha(Qt::white, 0.18), 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(rim);
    painter.setFont(font(size));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text(number));
    painter.restore();
}

void StepBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QPointF((width() - m_size) / 2, (height() - m_size) / 2), m_number, m_hue, m_size);
}

} // namespace zova
