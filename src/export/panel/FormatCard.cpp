#include "export/panel/FormatCard.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zova {

namespace {
constexpr qreal padding = 12;
constexpr qreal discSize = 36;
constexpr qreal spacing = 14;
constexpr qreal markSize = 18;
constexpr qreal radius = 12;

QFont titleFont() { return Typography::semibold(14); }
QFont subtitleFont() { return Typography::font(11.5); }
} // namespace

FormatCard::FormatCard(ExportFormat format, QWidget* parent)
    : SelectableCard(parent)
    , m_format(format)
{
    setObjectName(QStringLiteral("formatCard-") + ExportFormats::rawValue(format));
    setFocusPolicy(Qt::TabFocus);
    setText(ExportFormats::title(format));
    setAccessibleName(ExportFormats::title(format));
    setAccessibleDescription(ExportFormats::subtitle(format));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize FormatCard::sizeHint() const
{
    const qreal text = QFontMetricsF(titleFont()).height() + 2 + QFontMetricsF(subtitleFont()).height();
    const qreal content = qMax(discSize, qMax(text, markSize));
    const qreal width = discSize + spacing
        + QFontMetricsF(subtitleFont()).horizontalAdvance(ExportFormats::subtitle(m_format)) + spacing + markSize;
    return QSize(qCeil(width + 2 * padding), qCeil(content + 2 * padding));
}

void FormatCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        painter.setOpacity(0.6);

    const bool selected = isChecked();
    const QRectF r = QRectF(rect());
    const QColor control = Shapes::controlBackground();
    painter.fillPath(Shapes::roundedRect(r, radius), Shapes::withAlpha(control, selected ? 0.55 : 0.3));
    if (selected)
        Shapes::strokeInside(painter, r, radius, ZOVAColor::accent(), 1.5);
    else
        Shapes::strokeInside(painter, r, radius, ZOVAColor::separator(), 0.5);
    if (isDown())
        painter.fillPath(Shapes::roundedRect(r, radius), Shapes::withAlpha(ZOVAColor::label(), 0.05));

    const QRectF content = r.adjusted(padding, padding, -padding, -padding);
    const QRectF disc(content.left(), content.center().y() - discSize / 2, discSize, discSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(selected ? ZOVAColor::accent() : Shapes::withAlpha(control, 0.5));
    painter.drawEllipse(disc);
    Symbols::paint(
        painter, disc, ExportFormats::symbol(m_format), 14, selected ? QColor(Qt::white) : ZOVAColor::label());

    const QRectF mark(content.right() - markSize, content.center().y() - markSize / 2, markSize, markSize);
    if (selected)
        Symbols::paint(painter, mark, QStringLiteral("checkmark.circle.fill"), markSize, ZOVAColor::accent());
    else
        Symbols::paint(painter, mark, QStringLiteral("circle"), markSize, ZOVAColor::tertiaryLabel());

    const QFontMetricsF tm(titleFont());
    const QFontMetricsF sm(subtitleFont());
    const qreal textLeft = disc.right() + spacing;
    const qreal textWidth = mark.left() - spacing - textLeft;
    const qreal textHeight = tm.height() + 2 + sm.height();
    qreal y = content.center().y() - textHeight / 2;
    painter.setFont(titleFont());
    painter.setPen(ZOVAColor::label());
    painter.drawText(QRectF(textLeft, y, textWidth, tm.height()), Qt::AlignLeft | Qt::AlignVCenter,
        tm.elidedText(ExportFormats::title(m_format), Qt::ElideRight, textWidth));
    y += tm.height() + 2;
    painter.setFont(subtitleFont());
    painter.setPen(ZOVAColor::secondaryLabel());
    painter.drawText(QRectF(textLeft, y, textWidth, sm.height()), Qt::AlignLeft | Qt::AlignVCenter,
        sm.elidedText(ExportFormats::subtitle(m_format), Qt::ElideRight, textWidth));
}

} // namespace zova
