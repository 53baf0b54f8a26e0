#include "onboarding/CoachMarksOverlay.h"

#include "onboarding/CoachMarksService.h"
#include "onboarding/TipCard.h"
#include "style/Shapes.h"

#include <QPainter>
#include <QShortcut>

namespace zova {

CoachMarksOverlay::CoachMarksOverlay(CoachMarksService* coach, QWidget* host)
    : Overlay({ backdropOpacity, 0 }, host)
    , m_coach(coach)
    , m_card(new TipCard)
{
    setObjectName(QStringLiteral("tipOverlay"));
    hide();
    setSheet(m_card, TipCard::cornerRadius);
    // A click on the backdrop moves on, like Next.
    connect(this, &Overlay::dismissRequested, this, [this] {
        if (m_coach && m_showing)
            m_coach->advance();
    });
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

void CoachMarksOverlay::fitCard()
{
    const int width = std::max(0, std::min(maxCardWidth, this->width() - 2 * margin));
    m_card->setFixedWidth(width);
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
    fitCard();
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

void CoachMarksOverlay::resizeEvent(QResizeEvent* event)
{
    fitCard();
    Overlay::resizeEvent(event);
}

void CoachMarksOverlay::paintEvent(QPaintEvent* event)
{
    if (!isAnimating()) {
        if (m_showing)
            Overlay::paintEvent(event);
        return;
    }
    // While a tip comes, changes or goes, the card is drawn as a picture.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal t = m_transition.currentValue().toReal();
    const qreal backdrop = m_kind == Transition::Appear ? t : m_kind == Transition::Leave ? 1.0 - t : 1.0;
    p.fillRect(rect(), Shapes::withAlpha(Qt::black, backdropOpacity * backdrop));
    const QRectF card = cardGeometry();
    auto drawCard = [&](const QPixmap& pixmap, qreal opacity, qreal scale) {
        if (opacity <= 0 || pixmap.isNull())
            return;
        const QSizeF size = card.size() * scale;
        p.setOpacity(opacity);
        p.drawPixmap(
            QRectF(card.center() - QPointF(size.width() / 2, size.height() / 2), size), pixmap, QRectF(pixmap.rect()));
        p.setOpacity(1);
    };
    switch (m_kind) {
    case Transition::Appear: drawCard(m_to, t, 0.9 + 0.1 * t); break;
    case Transition::Change:
        drawCard(m_from, 1 - t, 1);
        drawCard(m_to, t, 1);
        break;
    case Transition::Leave: drawCard(m_from, 1 - t, 1); break;
    }
}

} // namespace zova
