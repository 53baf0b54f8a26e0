#pragma once

#include "recording_ui/RecordingOutlineOverlayView.h"

#include <QPointer>
#include <QPropertyAnimation>
#include <QRect>
#include <QRectF>
#include <QTimer>

#include <memory>
#include <optional>

namespace zova {

class CompositingCheck;
class RecordingFeed;
class RecordingService;

// Keeps the red outline on the recorded target: a click-through floating window
// placed on the target's frame every 0.1 s, moved over 0.15 s when the target
// moves and hidden while the target has no frame.
class RecordingOverlayController final : public QObject {
    Q_OBJECT
public:
    static constexpr int followIntervalMs = 100;
    static constexpr int moveDurationMs = 150;

    // Asks `compositing` at each present whether the outline can be translucent.
    explicit RecordingOverlayController(std::shared_ptr<CompositingCheck> compositing, QObject* parent = nullptr);
    ~RecordingOverlayController() override;

    // Replaces any outline shown with a new one on the recording's target.
    void present(RecordingService& recording);
    void present(RecordingFeed& recording);
    // Stops following and closes the outline; safe when none is shown.
    void dismiss();

    RecordingOutlineOverlayView* panel() const { return m_panel; }
    bool isFollowing() const { return m_timer.isActive(); }
    // One step of following, as the timer takes it every 0.1 s: places, moves
    // or hides the outline for the target's frame now.
    void follow();
    // The move under way or last made; null before the first move.
    QPropertyAnimation* moveAnimation() const { return m_move; }
    // The outline's window rectangle for a target frame (no y-flip on X11).
    static QRect panelFrame(const QRectF& targetFrame);

private:
    std::shared_ptr<CompositingCheck> m_compositing;
    QPointer<RecordingFeed> m_recording;
    QPointer<RecordingOutlineOverlayView> m_panel;
    QPointer<QPropertyAnimation> m_move;
    QTimer m_timer;
    QRect m_placed; // where the panel is or is moving to; empty while hidden
};

} // namespace zova
