#include "style/RoundSymbolButton.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

RoundSymbolButton::RoundSymbolButton(QString symbol, int side, qreal symbolSize, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(std::move(symbol))
    , m_side(side)
    , m_symbolSize(symbolSize)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(side, side);
}

void RoundSymbolButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF r = QRectF(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Shapes::withAlpha(Shapes::controlBackground(), isDown() ? 0.9 : 0.6));
    painter.drawEllipse(r);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ZOVAColor::separator(), 0.5));
    painter.drawEllipse(r.adjusted(0.25, 0.25, -0.25, -0.25));
    Symbols::paint(painter, r, m_symbol, m_symbolSize, ZOVAColor::label());
}

} // namespace zova
