#include "style/PopoverRow.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zova {

namespace {
constexpr qreal lineSpacing = 1;
} // namespace

PopoverRow::PopoverRow(const QString& symbol, const QString& title, Look look, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_look(std::move(look))
{
    setText(title);
    setAccessibleName(title);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QFont PopoverRow::subtitleFont() { return Typography::font(10.5); }

void PopoverRow::setSubtitle(const QString& text)
{
    if (m_subtitle == text)
        return;
    m_subtitle = text;
    updateGeometry();
    update();
}

QSize PopoverRow::sizeHint() const
{
    const QFontMetricsF title(m_look.titleFont);
    qreal height = title.height();
    qreal width = title.horizontalAdvance(text());
    if (!m_subtitle.isEmpty()) {
        const QFontMetricsF sub(subtitleFont());
        height += lineSpacing + sub.height();
        width = std::max(width, sub.horizontalAdvance(m_subtitle));
    }
    return QSize(qCeil(2 * m_look.horizontalPadding + m_look.symbolWidth + m_look.spacing + width),
        qCeil(2 * m_look.verticalPadding + height));
}

void PopoverRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(rect());
    if (isEnabled() && (m_hovered || isDown()))
        painter.fillPath(Shapes::roundedRect(r.adjusted(4, 0, -4, 0), 6),
            Shapes::withAlpha(ZOVAColor::accent(), isDown() ? 0.22 : 0.12));
    painter.setOpacity(isEnabled() ? 1.0 : 0.4);

    const qreal x0 = m_look.horizontalPadding;
    const QRectF symbol(x0, 0, m_look.symbolWidth, r.height());
    Symbols::paint(painter, symbol, m_symbol, m_look.symbolSize, ZOVAColor::accent());

    const qreal textX = x0 + m_look.symbolWidth + m_look.spacing;
    const qreal textWidth = r.width() - textX - m_look.horizontalPadding;
    const QFontMetricsF title(m_look.titleFont);
    qreal y = m_look.verticalPadding;
    painter.setFont(m_look.titleFont);
    painter.setPen(ZOVAColor::label());
    painter.drawText(QRectF(textX, y, textWidth, title.height()), Qt::AlignLeft | Qt::AlignVCenter,
        title.elidedText(text(), Qt::ElideRight, textWidth));
    if (!m_subtitle.isEmpty()) {
        y += title.height() + lineSpacing;
        const QFontMetricsF sub(subtitleFont());
        painter.setFont(subtitleFont());
        painter.setPen(ZOVAColor::secondaryLabel());
        painter.drawText(QRectF(textX, y, textWidth, sub.height()), Qt::AlignLeft | Qt::AlignVCenter,
            sub.elidedText(m_subtitle, Qt::ElideRight, textWidth));
    }
}

void PopoverRow::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PopoverRow::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace zova
