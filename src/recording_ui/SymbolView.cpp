#include "recording_ui/SymbolView.h"

#include "base/NotifyingProperty.h"
#include "style/Symbols.h"

#include <QPainter>

namespace zova {

SymbolView::SymbolView(QString symbol, qreal pixelSize, std::function<QColor()> color, QSize frame, QWidget* parent)
    : QWidget(parent)
    , m_symbol(std::move(symbol))
    , m_pixelSize(pixelSize)
    , m_color(std::move(color))
{
    setFixedSize(frame);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setCircle(std::function<QColor()> fill)
{
    m_circle = std::move(fill);
    update();
}

void SymbolView::setSymbol(const QString& symbol)
{
    if (!assignIfChanged(m_symbol, symbol))
        return;
    update();
}

void SymbolView::setColor(std::function<QColor()> color)
{
    m_color = std::move(color);
    update();
}

void SymbolView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_circle) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_circle());
        painter.drawEllipse(QRectF(rect()));
    }
    Symbols::paint(painter, QRectF(rect()), m_symbol, m_pixelSize, m_color());
}

} // namespace zova
