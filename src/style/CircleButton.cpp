#include "style/CircleButton.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace zova {

CircleButton::Look CircleButton::onControl(const QString& symbol, qreal side, qreal symbolSize)
{
    Look look;
    look.frame = side;
    look.diameter = side;
    look.fill = [](const QRectF&) { return QBrush(Shapes::withAlpha(Shapes::controlBackground(), 0.6)); };
    look.pressedFill = [](const QRectF&) { return QBrush(Shapes::withAlpha(Shapes::controlBackground(), 0.9)); };
    look.border = ZOVAColor::separator;
    look.symbol = symbol;
    look.symbolSize = symbolSize;
    look.symbolColor = ZOVAColor::label;
    return look;
}

CircleButton::CircleButton(Look look, QWidget* parent)
    : QAbstractButton(parent)
    , m_look(std::move(look))
{
    const int side = int(std::ceil(m_look.frame));
    setFixedSize(side, side);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void CircleButton::setSymbol(const QString& symbol)
{
    if (symbol == m_look.symbol)
        return;
    m_look.symbol = symbol;
    update();
}

QSize CircleButton::sizeHint() const
{
    const int side = int(std::ceil(m_look.frame));
    return { side, side };
}

void CircleButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF frame(QPointF(0, 0), QSizeF(m_look.frame, m_look.frame));
    QRectF circle(0, 0, m_look.diameter, m_look.diameter);
    circle.moveCenter(frame.center());
    QPainterPath path;
    path.addEllipse(circle);
    if (m_look.shadow)
        Shapes::paintShadow(painter, path, *m_look.shadow, 6, QPointF(0, 2));
    if (isDown() && m_look.pressedFill)
        painter.fillPath(path, m_look.pressedFill(circle));
    else if (m_look.fill)
        painter.fillPath(path, m_look.fill(circle));
    if (m_look.border)
        Shapes::strokeInside(painter, circle, m_look.diameter / 2, m_look.border(), m_look.borderWidth);
    if (!m_look.symbol.isEmpty())
        Symbols::paint(painter, circle, m_look.symbol, m_look.symbolSize,
            m_look.symbolColor ? m_look.symbolColor() : QColor(Qt::white));
}

} // namespace zova
