#include "style/Spinner.h"

#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

Spinner::Spinner(int diameter, QWidget* parent)
    : QWidget(parent)
    , m_diameter(diameter)
    , m_color(&ZOVAColor::secondaryLabel)
{
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_turn.setStartValue(0);
    m_turn.setEndValue(360);
    m_turn.setDuration(600);
    m_turn.setLoopCount(-1);
    connect(&m_turn, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

void Spinner::setOpacity(qreal opacity)
{
    m_opacity = opacity;
    update();
}

void Spinner::setColor(std::function<QColor()> color)
{
    m_color = std::move(color);
    update();
}

void Spinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal line = std::max(2.0, m_diameter / 10.0);
    const QRectF box = QRectF(rect()).adjusted(line, line, -line, -line);
    const QColor color = m_color();
    QColor track = color;
    track.setAlphaF(track.alphaF() * 0.25);
    painter.setPen(QPen(track, line));
    painter.drawEllipse(box);
    painter.setPen(QPen(color, line, Qt::SolidLine, Qt::RoundCap));
    const int angle = m_turn.currentValue().toInt();
    painter.drawArc(box, -angle * 16, 100 * 16);
}

void Spinner::showEvent(QShowEvent*) { m_turn.start(); }

void Spinner::hideEvent(QHideEvent*) { m_turn.stop(); }

} // namespace zova
