#pragma once

#include "style/Overlay.h"

#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>

namespace zova {

class CoachMarksService;
class TipCard;

// The tip tour over the main window's content: while a tip is active, a dimmed
// backdrop with the tip's card in the centre; hidden (no hit area) otherwise. The
// backdrop and Next/Return advance the tour; Skip and the close button finish it.
class CoachMarksOverlay : public Overlay {
    Q_OBJECT
public:
    static constexpr int maxCardWidth = 480;
    static constexpr int margin = 32;
    static constexpr qreal backdropOpacity = 0.45;

    // `host` is the widget the tips cover; the overlay follows its size.
    CoachMarksOverlay(CoachMarksService* coach, QWidget* host);

    TipCard* card() const { return m_card; }
    // The card's place for the overlay's current size.
    QRect cardGeometry() const;
    bool isAnimating() const { return m_transition.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Transition { Appear, Change, Leave };
    void follow();
    void fitCard();
    void startTransition(Transition kind);
    void finishTransition();

    QPointer<CoachMarksService> m_coach;
    TipCard* m_card;
    bool m_showing = false;
    Transition m_kind = Transition::Appear;
    QPixmap m_from; // the card as it was, while it changes or leaves
    QPixmap m_to; // the card as it will be, while it appears or changes
    QVariantAnimation m_transition;
};

} // namespace zova
