#include "recording_ui/TargetCard.h"

#include "style/GlassCard.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace zova {

namespace {
constexpr qreal margin = 10;
constexpr qreal stackSpacing = 6;
constexpr qreal titleHeight = 16;
constexpr qreal lineSpacing = 2;
} // namespace

TargetCard::TargetCard(QWidget* parent)
    : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setCursor(Qt::PointingHandCursor);
}

int TargetCard::heightForCardWidth(int width)
{
    const qreal previewHeight = (width - 2 * margin) / previewAspect;
    return int(std::ceil(margin + previewHeight + margin + stackSpacing + textBlockHeight + margin));
}

QSize TargetCard::sizeHint() const { return { 237, heightForWidth(237) }; }

QRectF TargetCard::previewRect() const
{
    const qreal w = width() - 2 * margin;
    return { margin, margin, w, w / previewAspect };
}

QRectF TargetCard::textRect() const
{
    const QRectF preview = previewRect();
    const qreal top = preview.bottom() + margin + stackSpacing;
    return { margin, top, width() - 2 * margin, qreal(textBlockHeight) };
}

void TargetCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    GlassCard::paint(painter, QRectF(rect()), GlassCard::Tone::light(), cornerRadius);
    paintPreview(painter, previewRect());
    const QRectF text = textRect();
    const QRectF title(text.left(), text.top(), text.width(), titleHeight);
    const QRectF second(
        text.left(), title.bottom() + lineSpacing, text.width(), text.height() - titleHeight - lineSpacing);
    paintText(painter, title, second);
}

void TargetCard::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = event->button() == Qt::LeftButton;
}

void TargetCard::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click of the pair already fired; the second is swallowed.
    event->accept();
    m_pressed = false;
}

void TargetCard::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool fire = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (fire)
        emit clicked();
}

} // namespace zova
