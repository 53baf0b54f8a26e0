#include "engine/CaptureService.h"

#include "engine/EngineLog.h"
#include "engine/PickerDump.h"
#include "engine/WindowFilter.h"
#include "engine/WindowThumbnail.h"

#include <QPainter>

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

namespace {

// The pop-ups among `candidates` (topmost first) that lie on the window, on one
// another or are the clicked one, bottom to top.
QList<DesktopWindow> popupsOnWindow(
    const QRectF& frame, const QList<DesktopWindow>& candidates, std::optional<WindowID> clicked)
{
    // Menus open right against their parent: touching counts.
    auto touches = [](const QRectF& a, const QRectF& b) { return a.adjusted(-2, -2, 2, 2).intersects(b); };
    QList<QRectF> reached { frame };
    QList<bool> taken(candidates.size(), false);
    for (bool grew = true; grew;) {
        grew = false;
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            if (taken[i])
                continue;
            const DesktopWindow& w = candidates[i];
            if (w.windowID == clicked
                || std::any_of(reached.begin(), reached.end(), [&](const QRectF& r) { return touches(r, w.frame); })) {
                taken[i] = true;
                reached.append(w.frame);
                grew = true;
            }
        }
    }
    QList<DesktopWindow> popups;
    for (qsizetype i = candidates.size(); i-- > 0;) {
        if (taken[i])
            popups.append(candidates[i]);
    }
    return popups;
}

} // namespace

Expected<CaptureService::CapturedFrame, CaptureError> CaptureService::captureScreenshot(
    const DesktopWindow& window, std::optional<WindowID> clickedPopup)
{
    DesktopWindow target = window;
    QList<DesktopWindow> candidates;
    if (auto content = m_source->snapshot()) {
        for (const auto& w : content->windows) {
            if (w.windowID == window.windowID)
                target = w;
        }
        for (const auto& w : content->windows) {
            if (w.windowID != target.windowID && w.isOnScreen && w.windowLayer >= popupLayer && target.processID() != 0
                && w.processID() == target.processID())
                candidates.append(w);
        }
    }
    const QList<DesktopWindow> popups = popupsOnWindow(target.frame, candidates, clickedPopup);
    // Pop-ups first: a menu may close any moment.
    QList<std::pair<QPointF, QImage>> popupShots;
    for (const auto& p : popups) {
        if (auto shot = m_grabber->captureWindow(p))
            popupShots.append({ p.frame.topLeft(), std::move(*shot) });
    }
    auto image = m_grabber->captureWindow(target);
    if (!image)
        return unexpected(image.error());
    if (popups.isEmpty())
        return CapturedFrame { std::move(*image), target.frame };

    // The screen area of the window and its pop-ups, the window whole over it
    // (also where something covers it), then the pop-ups as they are stacked.
    QRectF area = target.frame;
    for (const auto& p : popups)
        area = area.united(p.frame);
    DesktopScreen region;
    region.frame = area;
    region.width = int(area.width());
    region.height = int(area.height());
    QImage composed;
    if (auto screen = m_grabber->captureDisplay(region, ownWindowIDs());
        screen && screen->size() == area.size().toSize())
        composed = screen->convertToFormat(QImage::Format_RGB32);
    else {
        composed = QImage(area.size().toSize(), QImage::Format_RGB32);
        composed.fill(Qt::black);
    }
    QPainter painter(&composed);
    painter.drawImage(target.frame.topLeft() - area.topLeft(), *image);
    for (const auto& [at, shot] : popupShots)
        painter.drawImage(at - area.topLeft(), shot);
    painter.end();
    CapturedFrame frame { std::move(composed), area };
    frame.includesPopups = true;
    return frame;
}

QList<WindowID> CaptureService::ownWindowIDs()
{
    QList<WindowID> own;
    for (const auto& w : liveWindows(m_ownPID))
        own.append(w.windowID);
    return own;
}

Expected<CaptureService::CapturedFrame, CaptureError> CaptureService::captureScreenshot(const DesktopScreen& display)
{
    auto image = m_grabber->captureDisplay(display, ownWindowIDs());
    if (!image)
        return unexpected(image.error());
    return CapturedFrame { std::move(*image), display.frame };
}

std::optional<QImage> CaptureService::thumbnail(const DesktopWindow& window, double maxDimension)
{
    return windowThumbnail(*m_grabber, window, maxDimension);
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

std::optional<DesktopWindow> CaptureService::topmostMappedAt(QPointF point, qint32 processID, bool popupsToo)
{
    if (processID == 0)
        return std::nullopt;
    auto content = m_source->snapshot();
    if (!content)
        return std::nullopt;
    // Topmost first; an unmapped window lies under nothing.
    for (const auto& w : content->windows) {
        if (w.processID() == processID && (popupsToo || w.windowLayer == 0) && w.isOnScreen
            && frameContains(w.frame, point))
            return w;
    }
    return std::nullopt;
}

std::optional<DesktopWindow> CaptureService::windowUnderPoint(QPointF point, qint32 processID)
{
    return topmostMappedAt(point, processID, false);
}

std::optional<DesktopWindow> CaptureService::popupUnderPoint(QPointF point, qint32 processID)
{
    auto w = topmostMappedAt(point, processID, true);
    return w && w->windowLayer >= popupLayer ? w : std::nullopt;
}

void CaptureService::beginTrackingTargetProcess(qint32 processID)
{
    if (processID == 0)
        return;
    if (m_trackedTargetPID != 0)
        endTrackingTargetProcess();
    m_trackedTargetPID = processID;
    m_cachedTargetWindows.clear();
    m_liveTargetWindowIDs.reset();
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
    m_liveTargetWindowIDs.reset();
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
    auto content = m_source->snapshot();
    if (m_trackedTargetPID != pid)
        return;
    if (!content) {
        // Nothing can be clicked, but nothing is known to have closed either.
        m_cachedTargetWindows.clear();
        return;
    }
    // Only mapped windows can be clicked: a minimised window keeps its geometry.
    QList<DesktopWindow> windows;
    QSet<WindowID> live;
    for (const auto& w : content->windows) {
        if (w.processID() != pid)
            continue;
        live.insert(w.windowID);
        if (w.isOnScreen)
            windows.append(w);
    }
    m_cachedTargetWindows = std::move(windows);
    m_liveTargetWindowIDs = std::move(live);
    emit targetRefreshed();
}

bool CaptureService::trackedWindowIsGone(WindowID window) const
{
    return m_trackedTargetPID != 0 && m_liveTargetWindowIDs && !m_liveTargetWindowIDs->contains(window);
}

} // namespace zova
