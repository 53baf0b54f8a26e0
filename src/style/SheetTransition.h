#pragma once

#include <QGraphicsEffect>
#include <QPropertyAnimation>

namespace zova {

// How a sheet laid over a window comes and goes: it fades while it scales from
// 0.96 about its centre, over 0.22 s, easing in and out. The effect draws the
// sheet (its children included) at `opacity()` and `scale()`; it goes once the
// sheet is fully in.
class SheetTransition final : public QGraphicsEffect {
    Q_OBJECT
    Q_PROPERTY(qreal progress READ progress WRITE setProgress)
public:
    static constexpr int durationMs = 220;
    static constexpr qreal startScale = 0.96;

    // Brings the shown `sheet` in; the returned effect lives until it is in.
    static SheetTransition* enter(QWidget* sheet);
    // Takes `sheet` out, then deletes it; it takes no input and no focus meanwhile.
    static SheetTransition* leaveAndDelete(QWidget* sheet);

    // 0: out (transparent, at the start scale); 1: in.
    qreal progress() const { return m_progress; }
    void setProgress(qreal progress);
    qreal opacity() const { return m_progress; }
    qreal scale() const { return startScale + (1 - startScale) * m_progress; }
    // Runs from the first progress to the second over durationMs.
    QPropertyAnimation* animation() const { return m_animation; }

protected:
    void draw(QPainter* painter) override;

private:
    SheetTransition(QWidget* sheet, qreal from, qreal to);

    qreal m_progress = 0;
    QPropertyAnimation* m_animation = nullptr; // a child: goes with the effect
};

} // namespace zova
