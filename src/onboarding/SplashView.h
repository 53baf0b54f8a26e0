#pragma once

#include <QPainterPath>
#include <QParallelAnimationGroup>
#include <QRectF>
#include <QWidget>

#include <array>

class QVariantAnimation;

namespace zova {

class Spinner;

// The full-window launch screen: the brand gradient, a soft glow, three rings
// pulsing out from a white pointer, the title, and a small spinner. It takes no
// input; the root view decides when it goes.
class SplashView : public QWidget {
    Q_OBJECT
public:
    static constexpr int ringCount = 3;
    static constexpr int ringPeriodMs = 2000;
    static constexpr int ringStaggerMs = 550;
    static constexpr qreal ringSide = 180;
    static constexpr qreal ringLineWidth = 1.6;
    static constexpr qreal emblemHeight = 200;
    static constexpr qreal pointerWidth = 78;
    static constexpr qreal pointerHeight = 108;
    static constexpr qreal pointerAngle = 12; // degrees, clockwise about the top-left corner
    static constexpr int spinnerBottom = 48;

    // One ring's look at a point of its wave: 0 at its start, 1 at its end.
    struct Ring {
        qreal scale;
        qreal opacity;
    };
    static Ring ringAt(qreal progress);

    struct Parts {
        QRectF emblem; // the column's top part, as wide as the window
        QPointF center; // the rings' centre
        QRectF pointerFrame; // before rotation
        QRectF title;
        QRectF subtitle;
    };
    Parts parts() const;
    // The pointer's outline in the splash's coordinates, rotated into place.
    static QPainterPath pointerPath(const Parts& parts);

    explicit SplashView(QWidget* parent = nullptr);

    // The rings' waves, started on the first show: three looping animations,
    // the second and third after 0.55 s and 1.1 s.
    QParallelAnimationGroup* pulse() { return &m_pulse; }
    // Ring i's eased progress in its current wave.
    qreal ringProgress(int index) const;
    Spinner* spinner() const { return m_spinner; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QParallelAnimationGroup m_pulse;
    std::array<QVariantAnimation*, ringCount> m_rings {};
    Spinner* m_spinner;
};

} // namespace zova
