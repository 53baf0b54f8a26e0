#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace zova {

class CircleButton;
class RecordingFeed;
class StatusMarkView;
class TextLine;

// The recording control panel's content: status mark, clock, step count and the
// pause/resume, stop and cancel buttons, on a dark rounded glass plate.
class RecordingHUD final : public QWidget {
    Q_OBJECT
public:
    using Action = std::function<void()>;
    enum class StatusMark { RecordingDot, TrackingWarning };

    static constexpr QSize panelSize { 250, 56 };

    // `translucent`: the window's background is blended (FloatingWindow::translucencyAvailable).
    RecordingHUD(RecordingFeed& recording, Action onStop, Action onCancel, bool translucent, QWidget* parent = nullptr);

    // Whole seconds as mm:ss; minutes are never folded into hours, and a
    // negative or invalid time reads 00:00.
    static QString timeLabel(double elapsed);
    static QString stepsLabel(int stepCount, bool clickTrackingActive);
    static QString trackingWarningToolTip();
    // Shown in place of the step count once the recorded window has closed.
    static QString windowClosedLabel();
    static QString windowClosedToolTip(int stepCount);

    QString timeText() const;
    QString stepsText() const;
    QColor stepsColor() const;
    StatusMark statusMark() const;
    QString statusToolTip() const;
    // The ring around the dot: 1 while armed, 0.2 otherwise.
    qreal ringOpacity() const;

    CircleButton* pauseButton() const { return m_pause; }
    CircleButton* stopButton() const { return m_stop; }
    CircleButton* cancelButton() const { return m_cancel; }

    // Pauses when armed, resumes when paused, else does nothing.
    void togglePause();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void sync();
    QRectF plateRect() const;

    QPointer<RecordingFeed> m_recording;
    Action m_onStop;
    Action m_onCancel;
    StatusMarkView* m_mark = nullptr;
    TextLine* m_time = nullptr;
    TextLine* m_steps = nullptr;
    CircleButton* m_pause = nullptr;
    CircleButton* m_stop = nullptr;
    CircleButton* m_cancel = nullptr;
    bool m_translucent = false;
    std::optional<QPoint> m_dragOffset;
};

} // namespace zova
