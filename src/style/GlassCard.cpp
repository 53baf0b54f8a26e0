#include "style/GlassCard.h"

#include "style/Shapes.h"

#include <QPainter>

namespace zova {

GlassCard::GlassCard(Tone tone, qreal cornerRadius, QWidget* parent)
    : QWidget(parent)
    , m_tone(tone)
    , m_cornerRadius(cornerRadius)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void GlassCard::setTone(Tone tone)
{
    m_tone = tone;
    update();
}

void GlassCard::setCornerRadius(qreal radius)
{
    m_cornerRadius = radius;
    update();
}

QColor GlassCard::tintFill(const Tone& tone)
{
    switch (tone.kind) {
    case Tone::Kind::Tint: return Shapes::withAlpha(tone.tint, 0.14);
    case Tone::Kind::Clear: return QColor(Qt::transparent);
    case Tone::Kind::Light: return Shapes::withAlpha(Shapes::controlBackground(), 0.35);
    case Tone::Kind::Strong: return Shapes::withAlpha(Shapes::controlBackground(), 0.55);
    case Tone::Kind::Dark: return Shapes::withAlpha(Qt::black, 0.2);
    case Tone::Kind::Inkier: return Shapes::withAlpha(Qt::black, 0.4);
    }
    return QColor(Qt::transparent);
}

void GlassCard::paint(QPainter& painter, const QRectF& rect, const Tone& tone, qreal cornerRadius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = Shapes::roundedRect(rect, cornerRadius);
    painter.fillPath(shape, tintFill(tone));
    // The glass: a translucent layer of the window colour and a light hairline.
    painter.fillPath(shape, Shapes::withAlpha(Shapes::windowBackground(), 0.45));
    Shapes::strokeInside(painter, rect, cornerRadius, Shapes::withAlpha(Qt::white, 0.22), 0.5);
    painter.restore();
}

void GlassCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QRectF(rect()), m_tone, m_cornerRadius);
}

} // namespace zova
