#include "onboarding/CoachMarksOverlay.h"

#include "onboarding/CoachMarksService.h"
#include "onboarding/TipCard.h"
#include "style/Shapes.h"

#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

namespace zova {

CoachMarksOverlay::CoachMarksOverlay(CoachMarksService* coach, QWidget* parent)
    : QWidget(parent)
    , m_coach(coach)
    , m_card(new TipCard(this))
{
    setObjectName(QStringLiteral("tipOverlay"));
    hide();
    m_transition.setStartValue(0.0);
    m_transition.setEndValue(1.0);
    connect(&m_transition, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(&m_transition, &QVariantAnimation::finished, this, &CoachMarksOverlay::finishTransition);
    connect(m_card, &TipCard::nextRequested, this, [this] {
        if (m_coach)
            m_coach->advance();
    });
    for (auto close : { &TipCard::dismissRequested, &TipCard::skipRequested })
        connect(m_card, close, this, [this] {
            if (m_coach)
                m_coach->finish();
        });
    for (int key : { Qt::Key_Return, Qt::Key_Enter }) {
        auto* next = new QShortcut(QKeySequence(key), this);
        next->setContext(Qt::WindowShortcut);
        connect(next, &QShortcut::activated, m_card, &TipCard::nextRequested);
    }
    if (m_coach)
        connect(m_coach, &CoachMarksService::activeTipChanged, this, &CoachMarksOverlay::follow);
    follow();
}

QRect CoachMarksOverlay::cardGeometry() const
{
    const int width = std::max(0, std::min(maxCardWidth, this->width() - 2 * margin));
    const int height = m_card->heightForWidth(width);
    return QRect((this->width() - width) / 2, (this->height() - height) / 2, width, height);
}

void CoachMarksOverlay::follow()
{
    const auto tip = m_coach ? m_coach->activeTip() : std::nullopt;
    if (!tip) {
        if (m_showing)
            startTransition(Transition::Leave);
        return;
    }
    const bool appearing = !m_showing;
    if (!appearing)
        m_from = m_card->grab();
    m_card->setTip(*tip, m_coach->positionLabel());
    m_card->setGeometry(cardGeometry());
    m_showing = true;
    if (appearing) {
        show();
        raise();
    }
    startTransition(appearing ? Transition::Appear : Transition::Change);
}

void CoachMarksOverlay::startTransition(Transition kind)
{
    if (kind == Transition::Leave)
        m_from = m_card->isVisible() ? m_card->grab() : m_to;
    else
        m_to = m_card->grab();
    m_transition.stop();
    m_kind = kind;
    m_showing = kind != Transition::Leave;
    // A spring of 0.45 s with little overshoot; leaving is a plain fade.
    m_transition.setDuration(kind == Transition::Leave ? 250 : 450);
    m_transition.setEasingCurve(kind == Transition::Leave ? QEasingCurve::InOutQuad : QEasingCurve::OutCubic);
    m_card->hide();
    m_transition.start();
    update();
}

void CoachMarksOverlay::finishTransition()
{
    m_from = QPixmap();
    m_to = QPixmap();
    if (m_kind == Transition::Leave) {
        hide();
        return;
    }
    m_card->setGeometry(cardGeometry());
    m_card->show();
    update();
}

void CoachMarksOverlay::resizeEvent(QResizeEvent*) { m_card->setGeometry(cardGeometry()); }

void CoachMarksOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool running = isAnimating();
    const qreal t = running ? m_transition.currentValue().toReal() : 1.0;
    qreal backdrop = 1.0;
    if (running && m_kind == Transition::Appear)
        backdrop = t;
    else if (running && m_kind == Transition::Leave)
        backdrop = 1.0 - t;
    p.fillRect(rect(), Shapes::withAlpha(Qt::black, backdropOpacity * backdrop));

    const QRectF card = cardGeometry();
    auto drawCard = [&](const QPixmap& pixmap, qreal opacity, qreal scale) {
        if (opacity <= 0)
            return;
        const QRectF r(card.center() - QPointF(card.width() * scale / 2, card.height() * scale / 2),
            QSizeF(card.width() * scale, card.height() * scale));
        p.setOpacity(opacity);
        Shapes::paintShadow(p, Shapes::roundedRect(r, TipCard::cornerRadius * scale),
            Shapes::withAlpha(Qt::black, 0.35), 30, QPointF(0, 12));
        if (!pixmap.isNull())
            p.drawPixmap(r, pixmap, QRectF(pixmap.rect()));
        p.setOpacity(1);
    };
    if (!running) {
        if (m_showing)
            drawCard(QPixmap(), 1, 1);
        return;
    }
    switch (m_kind) {
    case Transition::Appear: drawCard(m_to, t, 0.9 + 0.1 * t); break;
    case Transition::Change:
        drawCard(m_from, 1 - t, 1);
        drawCard(m_to, t, 1);
        break;
    case Transition::Leave: drawCard(m_from, 1 - t, 1); break;
    }
}

void CoachMarksOverlay::mousePressEvent(QMouseEvent* event)
{
    // Presses on the card (or where it is about to be) do nothing.
    m_pressedOnBackdrop = event->button() == Qt::LeftButton && !cardGeometry().contains(event->position().toPoint());
    event->accept();
}

void CoachMarksOverlay::mouseReleaseEvent(QMouseEvent* event)
{
    const bool onBackdrop = m_pressedOnBackdrop && !cardGeometry().contains(event->position().toPoint());
    m_pressedOnBackdrop = false;
    event->accept();
    if (onBackdrop && m_coach && m_showing)
        m_coach->advance();
}

} // namespace zova
