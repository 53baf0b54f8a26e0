#include "style/TextLine.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace zova {

TextLine::TextLine(QString text, QFont font, ColorSource color, QWidget* parent)
    : QWidget(parent)
    , m_text(std::move(text))
    , m_font(std::move(font))
    , m_color(std::move(color))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TextLine::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void TextLine::setColor(ColorSource color)
{
    m_color = std::move(color);
    update();
}

void TextLine::setWrapping(Qt::Alignment alignment)
{
    m_wrap = true;
    m_alignment = alignment;
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    updateGeometry();
}

QSize TextLine::sizeHint() const
{
    const QFontMetricsF metrics(m_font);
    const int width = int(std::ceil(metrics.horizontalAdvance(m_text)));
    if (m_wrap)
        return { std::min(width, 480), heightForWidth(std::min(width, 480)) };
    return { width, int(std::ceil(metrics.height())) };
}

QSize TextLine::minimumSizeHint() const
{
    const QFontMetricsF metrics(m_font);
    return { m_wrap ? 40 : 0, int(std::ceil(metrics.height())) };
}

int TextLine::heightForWidth(int width) const
{
    const QFontMetricsF metrics(m_font);
    if (!m_wrap)
        return int(std::ceil(metrics.height()));
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, width, 10000), int(m_alignment) | Qt::TextWordWrap, m_text);
    return int(std::ceil(bounds.height()));
}

void TextLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(m_font);
    painter.setPen(m_color());
    if (m_wrap) {
        painter.drawText(rect(), int(m_alignment) | Qt::TextWordWrap, m_text);
        return;
    }
    const QString shown = QFontMetricsF(m_font).elidedText(m_text, Qt::ElideRight, width());
    painter.drawText(rect(), int(m_alignment), shown);
}

} // namespace zova
