#include "recording_ui/DisplayCard.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zova {

DisplayCard::DisplayCard(DesktopScreen display, StartAction onStart, QWidget* parent)
    : TargetCard(parent)
    , m_display(std::move(display))
    , m_onStart(std::move(onStart))
{
    setObjectName(QStringLiteral("displayCard"));
    setAccessibleDescription(displayName(m_display));
    connect(this, &TargetCard::clicked, this, [this] {
        if (m_onStart)
            m_onStart(m_display);
    });
}

QString DisplayCard::displayName(const DesktopScreen& display)
{
    if (display.isPrimary)
        return QStringLiteral("Main Display");
    return QStringLiteral("Display (%1)").arg(sizeLine(display));
}

QString DisplayCard::sizeLine(const DesktopScreen& display)
{
    return QStringLiteral("%1 \u00d7 %2").arg(display.width).arg(display.height);
}

void DisplayCard::paintPreview(QPainter& painter, const QRectF& rect)
{
    painter.fillPath(
        Shapes::roundedRect(rect, previewCornerRadius), Shapes::withAlpha(Shapes::windowBackground(), 0.55));
    const QFont sizeFont = Typography::font(11, QFont::Normal, Typography::Design::Monospaced);
    const qreal symbolHeight = 40;
    const qreal textHeight = QFontMetricsF(sizeFont).height();
    const qreal top = rect.center().y() - (symbolHeight + 8 + textHeight) / 2;
    Symbols::paint(painter, QRectF(rect.left(), top, rect.width(), symbolHeight), QStringLiteral("desktopcomputer"), 40,
        ZOVAColor::secondaryLabel());
    painter.setFont(sizeFont);
    painter.setPen(ZOVAColor::tertiaryLabel());
    painter.drawText(
        QRectF(rect.left(), top + symbolHeight + 8, rect.width(), textHeight), Qt::AlignCenter, sizeLine(m_display));
}

void DisplayCard::paintText(QPainter& painter, const QRectF& titleLine, const QRectF& secondLine)
{
    const QFont titleFont = Typography::semibold(12.5);
    painter.setFont(titleFont);
    painter.setPen(ZOVAColor::label());
    painter.drawText(titleLine, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(titleFont).elidedText(displayName(m_display), Qt::ElideRight, titleLine.width()));
    painter.setFont(Typography::font(10.5));
    painter.setPen(ZOVAColor::secondaryLabel());
    painter.drawText(secondLine, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, subtitle());
}

} // namespace zova
