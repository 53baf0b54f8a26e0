#include "export/panel/FormatCard.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zova {

namespace {
constexpr qreal kPadding = 12;
constexpr qreal kDisc = 36;
constexpr qreal kSpacing = 14;
constexpr qreal kMark = 18;
constexpr qreal kRadius = 12;

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
    const qreal content = qMax(kDisc, qMax(text, kMark));
    const qreal width = kDisc + kSpacing
        + QFontMetricsF(subtitleFont()).horizontalAdvance(ExportFormats::subtitle(m_format)) + kSpacing + kMark;
    return QSize(qCeil(width + 2 * kPadding), qCeil(content + 2 * kPadding));
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
    painter.fillPath(Shapes::roundedRect(r, kRadius), Shapes::withAlpha(control, selected ? 0.55 : 0.3));
    if (selected)
        Shapes::strokeInside(painter, r, kRadius, ZOVAColor::accent(), 1.5);
    else
        Shapes::strokeInside(painter, r, kRadius, ZOVAColor::separator(), 0.5);
    if (isDown())
        painter.fillPath(Shapes::roundedRect(r, kRadius), Shapes::withAlpha(ZOVAColor::label(), 0.05));

    const QRectF content = r.adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const QRectF disc(content.left(), content.center().y() - kDisc / 2, kDisc, kDisc);
    painter.setPen(Qt::NoPen);
    painter.setBrush(selected ? ZOVAColor::accent() : Shapes::withAlpha(control, 0.5));
    painter.drawEllipse(disc);
    Symbols::paint(
        painter, disc, ExportFormats::symbol(m_format), 14, selected ? QColor(Qt::white) : ZOVAColor::label());

    const QRectF mark(content.right() - kMark, content.center().y() - kMark / 2, kMark, kMark);
    if (selected)
        Symbols::paint(painter, mark, QStringLiteral("checkmark.circle.fill"), kMark, ZOVAColor::accent());
    else
        Symbols::paint(painter, mark, QStringLiteral("circle"), kMark, ZOVAColor::tertiaryLabel());

    const QFontMetricsF tm(titleFont());
    const QFontMetricsF sm(subtitleFont());
    const qreal textLeft = disc.right() + kSpacing;
    const qreal textWidth = mark.left() - kSpacing - textLeft;
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
