#include "style/TextLine.h"

#include "base/NotifyingProperty.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace zova {

namespace {
constexpr int maximumWrapWidth = 480;
}

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
    if (!assignIfChanged(m_text, text))
        return;
    updateGeometry();
    update();
}

void TextLine::setColor(ColorSource color)
{
    m_color = std::move(color);
    update();
}

void TextLine::setAlignment(Qt::Alignment alignment)
{
    if (assignIfChanged(m_alignment, alignment))
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
    const QMargins margins = contentsMargins();
    const int extra = margins.left() + margins.right();
    const QFontMetricsF metrics(m_font);
    const int width = int(std::ceil(metrics.horizontalAdvance(m_text)));
    if (m_wrap) {
        const int wrapped = std::min(width, maximumWrapWidth) + extra;
        return { wrapped, heightForWidth(wrapped) };
    }
    return { width + extra, int(std::ceil(metrics.height())) + margins.top() + margins.bottom() };
}

QSize TextLine::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    const QFontMetricsF metrics(m_font);
    return { (m_wrap ? 40 : 0) + margins.left() + margins.right(),
        int(std::ceil(metrics.height())) + margins.top() + margins.bottom() };
}

int TextLine::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    const QFontMetricsF metrics(m_font);
    if (!m_wrap)
        return int(std::ceil(metrics.height())) + margins.top() + margins.bottom();
    const qreal inner = std::max(0, width - margins.left() - margins.right());
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, inner, 10000), int(m_alignment) | Qt::TextWordWrap, m_text);
    return int(std::ceil(bounds.height())) + margins.top() + margins.bottom();
}

void TextLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(m_font);
    painter.setPen(m_color());
    const QRect area = contentsRect();
    if (m_wrap) {
        painter.drawText(area, int(m_alignment) | Qt::TextWordWrap, m_text);
        return;
    }
    const QString shown = QFontMetricsF(m_font).elidedText(m_text, Qt::ElideRight, area.width());
    painter.drawText(area, int(m_alignment), shown);
}

} // namespace zova
