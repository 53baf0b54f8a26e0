#include "recording_ui/Spinner.h"

#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

Spinner::Spinner(int diameter, QWidget* parent)
    : QWidget(parent)
    , m_diameter(diameter)
{
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

void Spinner::setOpacity(qreal opacity)
{
    m_opacity = opacity;
    update();
}

void Spinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal line = std::max(2.0, m_diameter / 10.0);
    const QRectF box = QRectF(rect()).adjusted(line, line, -line, -line);
    QColor track = ZOVAColor::secondaryLabel();
    track.setAlphaF(track.alphaF() * 0.25);
    painter.setPen(QPen(track, line));
    painter.drawEllipse(box);
    painter.setPen(QPen(ZOVAColor::secondaryLabel(), line, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(box, -m_angle * 16, 100 * 16);
}

void Spinner::showEvent(QShowEvent*) { m_timer.start(); }

void Spinner::hideEvent(QHideEvent*) { m_timer.stop(); }

} // namespace zova
