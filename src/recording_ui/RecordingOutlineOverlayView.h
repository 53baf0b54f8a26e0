#pragma once

#include <QColor>
#include <QSequentialAnimationGroup>
#include <QWidget>

namespace zova {

// The red outline drawn over the recorded target: a 3.5-point line centred on
// the view's edge, rounded for a window and square for a screen, pulsing
// between full opacity and 0.65 once a second while shown. Without a
// compositing manager the window is shaped to the ring, so the target's
// interior stays visible.
class RecordingOutlineOverlayView final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal outlineOpacity READ outlineOpacity WRITE setOutlineOpacity)
public:
    static constexpr qreal lineWidth = 3.5;
    static constexpr qreal windowCornerRadius = 12;
    static constexpr qreal shadowRadius = 4;
    // How far in from the edge the shaped window reaches: the inner half of
    // the line (the shadow needs a compositor).
    static constexpr int shapedRingDepth = 2;

    // `translucent`: the window's background is blended
    // (FloatingWindow::translucencyAvailable); otherwise it is shaped to the ring.
    RecordingOutlineOverlayView(bool isDisplay, bool translucent, QWidget* parent = nullptr);

    bool isDisplay() const { return m_isDisplay; }
    qreal cornerRadius() const { return m_isDisplay ? 0 : windowCornerRadius; }
    bool isPulsing() const { return m_isPulsing; }
    qreal outlineOpacity() const { return m_opacity; }
    void setOutlineOpacity(qreal opacity);
    // The standard red.
    static QColor outlineColor();
    bool isShapedToRing() const { return m_shaped; }
    // The endless pulse: 1 s down to 0.65, 1 s back up.
    QAbstractAnimation& pulse() { return m_pulse; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void updateShape();

    bool m_isDisplay;
    bool m_isPulsing = false;
    bool m_shaped = false;
    qreal m_opacity = 1;
    QSequentialAnimationGroup m_pulse;
};

} // namespace zova
