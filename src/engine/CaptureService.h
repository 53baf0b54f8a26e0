#pragma once

#include "base/Expected.h"
#include "platform/CaptureBackend.h"
#include "platform/DesktopSnapshot.h"

#include <QImage>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>
#include <optional>

namespace zova {

// The engine's door to the session's windows and screens: the picker's listing,
// step screenshots, thumbnails and a cache of the target process's windows.
// All calls are synchronous and belong to the GUI thread; X11 answers each
// request within milliseconds.
class CaptureService final : public QObject {
    Q_OBJECT
public:
    struct CapturedFrame {
        QImage image; // full pixel resolution
        QRectF contentRect; // where the captured content lies, in global coordinates
        // True only when the screen's pointer is drawn into the pixels; the X11
        // grabbers never draw it.
        bool containsPointer = false;
        // True when the target's open pop-ups are drawn in: the image then shows
        // the screen area of the window and its pop-ups, `contentRect`.
        bool includesPopups = false;
    };

    // Windows at or above this layer are pop-ups (menus, combo lists, tooltips).
    static constexpr int popupLayer = 100;

    static constexpr double targetWindowRefreshInterval = 0.25;

    // `ownPID` is this process: its windows are left out of the listing and of
    // screen captures.
    CaptureService(std::shared_ptr<WindowSource> source, std::shared_ptr<ScreenGrabber> grabber, qint32 ownPID,
        QObject* parent = nullptr);
    ~CaptureService() override;

    // The windows to offer for recording, filtered and sorted; writes the picker
    // dump. Fails only when the session cannot be read.
    Expected<QList<DesktopWindow>, CaptureError> listWindows();
    // The displays, in monitor order.
    Expected<QList<DesktopScreen>, CaptureError> listDisplays();

    // The window, looked up afresh by its id (the object passed in when the
    // look-up fails or no longer finds it), with its process's open pop-ups
    // drawn where they are when any lie on it, on one another or are
    // `clickedPopup`.
    Expected<CapturedFrame, CaptureError> captureScreenshot(
        const DesktopWindow& window, std::optional<WindowID> clickedPopup = std::nullopt);
    // The whole display without this process's windows.
    Expected<CapturedFrame, CaptureError> captureScreenshot(const DesktopScreen& display);
    // At most maxDimension pixels on the longer side, never enlarged; nothing
    // when the window has no area or cannot be captured.
    std::optional<QImage> thumbnail(const DesktopWindow& window, double maxDimension);

    // Every current window of the process (also pop-ups and unmapped ones);
    // empty for 0 or when the session cannot be read.
    QList<DesktopWindow> liveWindows(qint32 processID);
    // The topmost mapped layer-0 window of the process that contains the point.
    std::optional<DesktopWindow> windowUnderPoint(QPointF point, qint32 processID);
    // The process's open pop-up at the point when it is the topmost of the
    // process's windows there.
    std::optional<DesktopWindow> popupUnderPoint(QPointF point, qint32 processID);

    void beginTrackingTargetProcess(qint32 processID);
    void endTrackingTargetProcess();
    // Answers from the cache only; never asks the session.
    bool pointIsInTrackedTarget(QPointF point) const;

    qint32 trackedTargetPID() const { return m_trackedTargetPID; }
    const QList<DesktopWindow>& cachedTargetWindows() const { return m_cachedTargetWindows; }
    // True once a refresh of the tracked process no longer found the window
    // (closed, withdrawn, or its process gone); a minimised window is still there.
    bool trackedWindowIsGone(WindowID window) const;

signals:
    // The tracking cache was refreshed.
    void targetRefreshed();

private:
    void refreshTarget();
    QList<WindowID> ownWindowIDs();
    std::optional<DesktopWindow> topmostMappedAt(QPointF point, qint32 processID, bool popupsToo);

    std::shared_ptr<WindowSource> m_source;
    std::shared_ptr<ScreenGrabber> m_grabber;
    qint32 m_ownPID = 0;
    qint32 m_trackedTargetPID = 0;
    QList<DesktopWindow> m_cachedTargetWindows;
    // Every window of the tracked process at the last refresh; nothing before it.
    std::optional<QSet<WindowID>> m_liveTargetWindowIDs;
    QTimer m_targetRefreshTimer;
};

} // namespace zova
