#include "recording_ui/RecordingHUDController.h"

#include "recording_ui/FloatingWindow.h"
#include "recording_ui/RecordingHUD.h"
#include "recording_ui/RecordingServiceFeed.h"
#include "recording_ui/RecordingUiLog.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace zova {

RecordingHUDController::RecordingHUDController(std::shared_ptr<CompositingCheck> compositing)
    : m_compositing(std::move(compositing))
{
}

RecordingHUDController::~RecordingHUDController() { close(); }

QPoint RecordingHUDController::panelOrigin(const std::optional<QRect>& availableGeometry)
{
    if (!availableGeometry)
        return { 0, 0 };
    const QRect& area = *availableGeometry;
    const double midX = area.x() + area.width() / 2.0;
    return { int(std::floor(midX - RecordingHUD::panelSize.width() / 2.0)), area.y() + 24 };
}

void RecordingHUDController::present(RecordingService& recording, Action onStop, Action onCancel)
{
    auto* feed = new RecordingServiceFeed(recording);
    present(*feed, std::move(onStop), std::move(onCancel));
    feed->setParent(m_panel); // lives as long as the panel
}

void RecordingHUDController::present(RecordingFeed& recording, Action onStop, Action onCancel)
{
    // A panel left from an earlier recording would stay on screen with no owner.
    close();
    const bool translucent = FloatingWindow::translucencyAvailable(*m_compositing);
    auto* panel = new RecordingHUD(recording, std::move(onStop), std::move(onCancel), translucent);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowTitle(QStringLiteral("Z.O.V.A recording"));
    FloatingWindow::configure(panel, false, translucent);
    std::optional<QRect> area;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    panel->move(panelOrigin(area));
    panel->show();
    m_panel = panel;
    qCDebug(lcRecordingUi) << "control panel shown at" << panel->pos();
}

void RecordingHUDController::close()
{
    if (!m_panel)
        return;
    RecordingHUD* panel = m_panel;
    m_panel = nullptr;
    panel->close(); // deletes it
}

RecordingHUD* RecordingHUDController::panel() const { return m_panel; }

} // namespace zova
