#include "style/CloseButton.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

CloseButton::CloseButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setAccessibleName(tr("Close"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(side, side);
}

void CloseButton::paintEvent(QPaintEvent*)
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
    // Material's close glyph has no bold cut; a heavier pixel size stands in.
    Symbols::paint(painter, r, QStringLiteral("xmark"), 13, ZOVAColor::label());
}

} // namespace zova
