#include "recording_ui/RecordingOverlayController.h"

#include "recording_ui/FloatingWindow.h"
#include "recording_ui/RecordingFeed.h"
#include "recording_ui/RecordingOutlineOverlayView.h"
#include "recording_ui/RecordingServiceFeed.h"
#include "recording_ui/RecordingUiLog.h"

#include <cmath>

namespace zova {

RecordingOverlayController::RecordingOverlayController(std::shared_ptr<CompositingCheck> compositing, QObject* parent)
    : QObject(parent)
    , m_compositing(std::move(compositing))
{
    m_timer.setInterval(followIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RecordingOverlayController::follow);
}

RecordingOverlayController::~RecordingOverlayController() { dismiss(); }

QRect RecordingOverlayController::panelFrame(const QRectF& targetFrame)
{
    return { int(std::lround(targetFrame.x())), int(std::lround(targetFrame.y())),
        int(std::lround(targetFrame.width())), int(std::lround(targetFrame.height())) };
}

void RecordingOverlayController::present(RecordingService& recording)
{
    auto* feed = new RecordingServiceFeed(recording);
    present(*feed);
    feed->setParent(m_panel); // lives as long as the outline
}

void RecordingOverlayController::present(RecordingFeed& recording)
{
    dismiss();
    m_recording = &recording;
    const bool translucent = FloatingWindow::translucencyAvailable(*m_compositing);
    auto* panel = new RecordingOutlineOverlayView(recording.hasTargetDisplay(), translucent);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowTitle(QStringLiteral("Z.O.V.A outline"));
    FloatingWindow::configure(panel, true, translucent);
    m_panel = panel;
    m_placed = QRect();
    follow();
    m_timer.start();
}

void RecordingOverlayController::dismiss()
{
    m_timer.stop();
    if (m_move)
        m_move->stop();
    m_recording = nullptr;
    m_placed = QRect();
    if (RecordingOutlineOverlayView* panel = m_panel) {
        m_panel = nullptr;
        panel->close(); // deletes it
    }
}

void RecordingOverlayController::follow()
{
    if (!m_panel)
        return;
    const std::optional<QRectF> target = m_recording ? m_recording->targetFrame() : std::nullopt;
    const QRect frame = target ? panelFrame(*target) : QRect();
    if (frame.isEmpty()) {
        // An empty geometry would leave the window mapped; hide it instead.
        if (m_move)
            m_move->stop();
        m_placed = QRect();
        m_panel->hide();
        return;
    }
    if (frame == m_placed)
        return;
    const bool firstPlacement = m_placed.isEmpty();
    m_placed = frame;
    if (firstPlacement) {
        if (m_move)
            m_move->stop();
        m_panel->setGeometry(frame);
        m_panel->show();
        qCDebug(lcRecordingUi) << "outline placed at" << frame;
        return;
    }
    if (!m_move) {
        m_move = new QPropertyAnimation(m_panel, "geometry", m_panel);
        m_move->setDuration(moveDurationMs);
        m_move->setEasingCurve(QEasingCurve::InOutQuad);
    }
    m_move->stop();
    m_move->setStartValue(m_panel->geometry());
    m_move->setEndValue(frame);
    m_move->start();
}

} // namespace zova
