#pragma once

#include <QPointer>
#include <QPropertyAnimation>
#include <QRect>
#include <QRectF>
#include <QTimer>

#include <optional>

namespace zova {

class RecordingFeed;
class RecordingOutlineOverlayView;

// Keeps the red outline on the recorded target: a click-through floating window
// placed on the target's frame every 0.1 s, moved over 0.15 s when the target
// moves and hidden while the target has no frame.
class RecordingOverlayController final : public QObject {
    Q_OBJECT
public:
    static constexpr int followIntervalMs = 100;
    static constexpr int moveDurationMs = 150;

    explicit RecordingOverlayController(QObject* parent = nullptr);
    ~RecordingOverlayController() override;

    // Replaces any outline shown with a new one on the recording's target.
    void present(RecordingFeed& recording);
    // Stops following and closes the outline; safe when none is shown.
    void dismiss();

    RecordingOutlineOverlayView* panel() const { return m_panel; }
    bool isFollowing() const { return m_timer.isActive(); }
    // The outline's window rectangle for a target frame (no y-flip on X11).
    static QRect panelFrame(const QRectF& targetFrame);

private:
    void updateFrame();

    QPointer<RecordingFeed> m_recording;
    QPointer<RecordingOutlineOverlayView> m_panel;
    QPointer<QPropertyAnimation> m_move;
    QTimer m_timer;
    QRect m_placed; // where the panel is or is moving to; empty while hidden
};

} // namespace zova
