#include "onboarding/SplashView.h"

#include "onboarding/ProductName.h"
#include "onboarding/SplashCursorShape.h"
#include "style/Shapes.h"
#include "style/Spinner.h"
#include "style/Typography.h"

#include <QPainter>
#include <QPauseAnimation>
#include <QRadialGradient>
#include <QSequentialAnimationGroup>
#include <QTransform>
#include <QVariantAnimation>

namespace zova {

namespace {

QFont titleFont()
{
    QFont f = Typography::font(38, QFont::Bold, Typography::Design::Serif);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    return f;
}

QFont subtitleFont() { return Typography::font(13, QFont::Medium); }

QColor srgb(int r, int g, int b) { return QColor::fromRgbF(float(r / 255.0), float(g / 255.0), float(b / 255.0)); }

} // namespace

SplashView::Ring SplashView::ringAt(qreal progress)
{
    const qreal p = std::clamp<qreal>(progress, 0, 1);
    return { 0.55 + (1.6 - 0.55) * p, 0.55 * (1 - p) };
}

SplashView::SplashView(QWidget* parent)
    : QWidget(parent)
    , m_spinner(new Spinner(16, this))
{
    setObjectName(QStringLiteral("splash"));
    // Nothing here reacts to input; the splash still covers what is below it.
    m_spinner->setColor([] { return Shapes::withAlpha(Qt::white, 0.65); });
    QEasingCurve easeOut(QEasingCurve::BezierSpline);
    easeOut.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    for (int i = 0; i < ringCount; ++i) {
        auto* wave = new QSequentialAnimationGroup(&m_pulse);
        if (i > 0)
            wave->addAnimation(new QPauseAnimation(i * ringStaggerMs));
        auto* ring = new QVariantAnimation;
        ring->setStartValue(0.0);
        ring->setEndValue(1.0);
        ring->setDuration(ringPeriodMs);
        ring->setEasingCurve(easeOut);
        ring->setLoopCount(-1);
        connect(ring, &QVariantAnimation::valueChanged, this, [this] { update(); });
        wave->addAnimation(ring);
        m_rings[size_t(i)] = ring;
    }
}

qreal SplashView::ringProgress(int index) const
{
    // A ring whose wave has not begun rests at its start.
    return m_rings[size_t(index)]->currentValue().toReal();
}

QPainterPath SplashView::pointerPath(const Parts& parts)
{
    QTransform rotation;
    rotation.translate(parts.pointerFrame.left(), parts.pointerFrame.top());
    rotation.rotate(pointerAngle);
    return rotation.map(SplashCursorShape::path(QRectF(0, 0, pointerWidth, pointerHeight)));
}

SplashView::Parts SplashView::parts() const
{
    Parts g;
    const QFontMetricsF title(titleFont());
    const QFontMetricsF subtitle(subtitleFont());
    const qreal titleHeight = title.height();
    const qreal subtitleHeight = subtitle.height();
    const qreal column = emblemHeight + 28 + titleHeight + 8 + subtitleHeight;
    const qreal top = (height() - column) / 2;
    g.emblem = QRectF(0, top, width(), emblemHeight);
    g.center = g.emblem.center();
    g.pointerFrame
        = QRectF(g.center - QPointF(pointerWidth / 2, pointerHeight / 2), QSizeF(pointerWidth, pointerHeight));
    g.title = QRectF(0, g.emblem.bottom() + 28, width(), titleHeight);
    g.subtitle = QRectF(0, g.title.bottom() + 8, width(), subtitleHeight);
    return g;
}

void SplashView::showEvent(QShowEvent*)
{
    if (m_pulse.state() == QAbstractAnimation::Stopped)
        m_pulse.start();
    else if (m_pulse.state() == QAbstractAnimation::Paused)
        m_pulse.resume();
}

void SplashView::hideEvent(QHideEvent*) { m_pulse.pause(); }

void SplashView::resizeEvent(QResizeEvent*)
{
    m_spinner->move((width() - m_spinner->width()) / 2, height() - spinnerBottom - m_spinner->height());
}

void SplashView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF all(rect());

    QLinearGradient background(all.topLeft(), all.bottomRight());
    background.setColorAt(0.0, srgb(0xFF, 0x3D, 0x8A));
    background.setColorAt(0.5, srgb(0xA8, 0x55, 0xF7));
    background.setColorAt(1.0, srgb(0x4F, 0x46, 0xE5));
    p.fillRect(all, background);

    QRadialGradient glow(QPointF(all.width() * 0.3, all.height() * 0.18), 720);
    glow.setColorAt(0.0, Shapes::withAlpha(Qt::white, 0.22));
    glow.setColorAt(1.0, Shapes::withAlpha(Qt::white, 0.0));
    p.fillRect(all, glow);

    const Parts g = parts();
    for (int i = 0; i < ringCount; ++i) {
        const Ring ring = ringAt(ringProgress(i));
        // Stroked inside the 180-point circle, then scaled about its centre.
        const qreal radius = (ringSide / 2 - ringLineWidth / 2) * ring.scale;
        p.setPen(QPen(Shapes::withAlpha(Qt::white, ring.opacity), ringLineWidth * ring.scale));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(g.center, radius, radius);
    }

    // The shadow falls straight down from the rotated pointer.
    const QPainterPath pointer = pointerPath(g);
    Shapes::paintShadow(p, pointer, Shapes::withAlpha(Qt::black, 0.32), 14, QPointF(0, 6));
    p.fillPath(pointer, Qt::white);

    p.setPen(Qt::white);
    p.setFont(titleFont());
    p.drawText(g.title, Qt::AlignCenter, QStringLiteral("Z.O.V.A"));
    p.setPen(Shapes::withAlpha(Qt::white, 0.8));
    p.setFont(subtitleFont());
    p.drawText(g.subtitle, Qt::AlignCenter, productFullName());
}

} // namespace zova
