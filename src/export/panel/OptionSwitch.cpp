#include "export/panel/OptionSwitch.h"

#include "base/NotifyingProperty.h"
#include "style/Shapes.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zova {

namespace {
constexpr qreal trackWidth = 28;
constexpr qreal trackHeight = 16;
constexpr qreal spacing = 8;

QFont labelFont() { return Typography::font(12.5); }
QFont detailFont() { return Typography::font(10.5); }
} // namespace

OptionSwitch::OptionSwitch(const QString& text, QWidget* parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setText(text);
    setAccessibleName(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void OptionSwitch::setDetail(const QString& detail)
{
    if (!assignIfChanged(m_detail, detail))
        return;
    setAccessibleDescription(detail);
    updateGeometry();
    update();
}

QSize OptionSwitch::sizeHint() const
{
    const QFontMetricsF lm(labelFont());
    qreal width = lm.horizontalAdvance(text());
    qreal height = lm.height();
    if (!m_detail.isEmpty()) {
        const QFontMetricsF dm(detailFont());
        width = qMax(width, dm.horizontalAdvance(m_detail));
        height += 2 + dm.height();
    }
    return QSize(qCeil(trackWidth + spacing + width + 1), qCeil(qMax(height, trackHeight)));
}

void OptionSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        painter.setOpacity(0.5);

    const QFontMetricsF lm(labelFont());
    // The switch sits level with the first line of the label.
    const qreal firstLine = qMax(lm.height(), trackHeight);
    const QRectF track(0, (firstLine - trackHeight) / 2, trackWidth, trackHeight);
    const QPainterPath capsule = Shapes::capsule(track);
    painter.fillPath(capsule, isChecked() ? ZOVAColor::magenta() : Shapes::withAlpha(ZOVAColor::label(), 0.15));
    if (isDown())
        painter.fillPath(capsule, Shapes::withAlpha(Qt::black, 0.1));
    const qreal knob = trackHeight - 4;
    const qreal knobX = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setPen(QPen(Shapes::withAlpha(Qt::black, 0.12), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(knobX, track.top() + 2, knob, knob));
    if (hasFocus())
        Shapes::strokeInside(painter, track.adjusted(-2, -2, 2, 2), trackHeight / 2 + 2, ZOVAColor::accent(), 1.5);

    const qreal x = trackWidth + spacing;
    const qreal width = qMax<qreal>(0, this->width() - x);
    painter.setFont(labelFont());
    painter.setPen(ZOVAColor::ink2());
    painter.drawText(QRectF(x, (firstLine - lm.height()) / 2, width, lm.height()), Qt::AlignLeft | Qt::AlignVCenter,
        lm.elidedText(text(), Qt::ElideRight, width));
    if (!m_detail.isEmpty()) {
        const QFontMetricsF dm(detailFont());
        painter.setFont(detailFont());
        painter.setPen(ZOVAColor::secondaryLabel());
        painter.drawText(QRectF(x, firstLine - (firstLine - lm.height()) / 2 + 2, width, dm.height()),
            Qt::AlignLeft | Qt::AlignVCenter, dm.elidedText(m_detail, Qt::ElideRight, width));
    }
}

} // namespace zova
