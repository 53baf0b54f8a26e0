#include "engine/CaptureService.h"

#include "engine/EngineLog.h"
#include "engine/PickerDump.h"
#include "engine/WindowFilter.h"

#include <cmath>

namespace zova {

CaptureService::CaptureService(
    std::shared_ptr<WindowSource> source, std::shared_ptr<ScreenGrabber> grabber, qint32 ownPID, QObject* parent)
    : QObject(parent)
    , m_source(std::move(source))
    , m_grabber(std::move(grabber))
    , m_ownPID(ownPID)
{
    m_targetRefreshTimer.setInterval(int(targetWindowRefreshInterval * 1000));
    connect(&m_targetRefreshTimer, &QTimer::timeout, this, &CaptureService::refreshTarget);
}

CaptureService::~CaptureService() = default;

Expected<QList<DesktopWindow>, CaptureError> CaptureService::listWindows()
{
    auto content = m_source->snapshot();
    if (!content)
        return unexpected(content.error());

    ListingContext context;
    for (const auto& app : content->applications) {
        if (app.isVisibleRegular)
            context.visibleRegularPIDs.insert(app.processID);
    }
    // Our own WM_CLASS instance is the one our own windows carry.
    for (const auto& w : content->windows) {
        if (w.owningApplication && w.owningApplication->processID == m_ownPID) {
            context.ownWmClassInstance = w.owningApplication->wmClassInstance;
            break;
        }
    }

    QList<std::optional<QString>> reasons;
    QList<DesktopWindow> passed;
    for (const auto& w : content->windows) {
        reasons.append(windowDropReason(w, context));
        if (!reasons.last())
            passed.append(w);
    }
    writePickerDump(pickerDumpLines(*content, reasons, QDateTime::currentDateTimeUtc()));
    sortForPicker(passed);
    return passed;
}

Expected<QList<DesktopScreen>, CaptureError> CaptureService::listDisplays()
{
    auto content = m_source->snapshot();
    if (!content)
        return unexpected(content.error());
    return content->displays;
}

Expected<CaptureService::CapturedFrame, CaptureError> CaptureService::captureScreenshot(const DesktopWindow& window)
{
    DesktopWindow target = window;
    if (auto content = m_source->snapshot()) {
        for (const auto& w : content->windows) {
            if (w.windowID == window.windowID) {
                target = w;
                break;
            }
        }
    }
    auto image = m_grabber->captureWindow(target);
    if (!image)
        return unexpected(image.error());
    return CapturedFrame { std::move(*image), target.frame };
}

Expected<CaptureService::CapturedFrame, CaptureError> CaptureService::captureScreenshot(const DesktopScreen& display)
{
    QList<WindowID> own;
    for (const auto& w : liveWindows(m_ownPID))
        own.append(w.windowID);
    auto image = m_grabber->captureDisplay(display, own);
    if (!image)
        return unexpected(image.error());
    return CapturedFrame { std::move(*image), display.frame };
}

std::optional<QImage> CaptureService::thumbnail(const DesktopWindow& window, double maxDimension)
{
    const double w = window.frame.width();
    const double h = window.frame.height();
    if (!(w > 0) || !(h > 0))
        return std::nullopt;
    const double scale = std::min({ maxDimension / w, maxDimension / h, 1.0 });
    const int width = std::max(1, int(w * scale));
    const int height = std::max(1, int(h * scale));
    auto image = m_grabber->captureWindow(window);
    if (!image || image->isNull())
        return std::nullopt;
    return image->scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QList<DesktopWindow> CaptureService::liveWindows(qint32 processID)
{
    if (processID == 0)
        return {};
    auto content = m_source->snapshot();
    if (!content)
        return {};
    QList<DesktopWindow> windows;
    for (const auto& w : content->windows) {
        if (w.owningApplication && w.owningApplication->processID == processID)
            windows.append(w);
    }
    return windows;
}

std::optional<DesktopWindow> CaptureService::windowUnderPoint(QPointF point, qint32 processID)
{
    if (processID == 0)
        return std::nullopt;
    auto content = m_source->snapshot();
    if (!content)
        return std::nullopt;
    // Topmost first; an unmapped window lies under nothing.
    for (const auto& w : content->windows) {
        if (w.processID() == processID && w.windowLayer == 0 && w.isOnScreen && frameContains(w.frame, point))
            return w;
    }
    return std::nullopt;
}

void CaptureService::beginTrackingTargetProcess(qint32 processID)
{
    if (processID == 0)
        return;
    if (m_trackedTargetPID != 0)
        endTrackingTargetProcess();
    m_trackedTargetPID = processID;
    m_cachedTargetWindows.clear();
    QMetaObject::invokeMethod(this, &CaptureService::refreshTarget, Qt::QueuedConnection);
    m_targetRefreshTimer.start();
    qCInfo(lcCapture).noquote()
        << QStringLiteral("Started tracking target process %1 for click acceptance").arg(processID);
}

void CaptureService::endTrackingTargetProcess()
{
    m_targetRefreshTimer.stop();
    const qint32 was = m_trackedTargetPID;
    m_trackedTargetPID = 0;
    m_cachedTargetWindows.clear();
    if (was != 0)
        qCInfo(lcCapture).noquote() << QStringLiteral("Stopped tracking target process %1").arg(was);
}

bool CaptureService::pointIsInTrackedTarget(QPointF point) const
{
    if (m_trackedTargetPID == 0)
        return false;
    for (const auto& w : m_cachedTargetWindows) {
        if (frameContains(w.frame, point))
            return true;
    }
    return false;
}

void CaptureService::refreshTarget()
{
    const qint32 pid = m_trackedTargetPID;
    if (pid == 0)
        return;
    // Only mapped windows can be clicked: a minimised window keeps its geometry.
    QList<DesktopWindow> windows;
    for (auto& w : liveWindows(pid)) {
        if (w.isOnScreen)
            windows.append(std::move(w));
    }
    if (m_trackedTargetPID == pid)
        m_cachedTargetWindows = std::move(windows);
}

} // namespace zova
