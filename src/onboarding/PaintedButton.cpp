#include "onboarding/PaintedButton.h"

#include <QPainter>

namespace zova {

PaintedButton::PaintedButton(const QString& text, Painter painter, QWidget* parent)
    : QAbstractButton(parent)
    , m_painter(std::move(painter))
{
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PaintedButton::setPreferredSize(QSize size)
{
    m_size = size;
    updateGeometry();
}

void PaintedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (isDown())
        p.setOpacity(0.7);
    m_painter(p, QRectF(rect()), *this);
}

} // namespace zova
