#include "style/Divider.h"

#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

Divider::Divider(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Divider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(0.5);
    painter.fillRect(QRectF(inset, 0, width() - 2 * inset, 1), ZOVAColor::separator());
}

} // namespace zova
