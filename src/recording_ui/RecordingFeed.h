#pragma once

#include "engine/WindowPreviews.h"
#include "platform/DesktopSnapshot.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QRectF>

#include <optional>

namespace zova {

// What the recording windows read of a recording and what they ask of it.
// Lives on the GUI thread; the two signals say which group of fields changed.
class RecordingFeed : public QObject {
    Q_OBJECT
public:
    // The recording service's phases, in the same order.
    enum class Phase { Idle, Picking, Armed, Paused, Finishing };
    using QObject::QObject;

    virtual Phase phase() const = 0;
    virtual double elapsed() const = 0;
    virtual int stepCount() const = 0;
    virtual bool clickTrackingActive() const = 0;
    // The recorded window has closed during the recording.
    virtual bool targetWindowClosed() const { return false; }

    virtual QList<DesktopWindow> availableWindows() const = 0;
    virtual QList<DesktopScreen> availableDisplays() const = 0;
    virtual bool isLoadingWindows() const = 0;
    virtual bool permissionDenied() const = 0;

    virtual bool hasTargetDisplay() const = 0;
    // The target's rectangle in global coordinates, or nothing.
    virtual std::optional<QRectF> targetFrame() const = 0;

    using Preview = WindowPreviews::Preview;
    using PreviewHandler = WindowPreviews::Done;
    // Asks for the window's thumbnail (at most maxDimension pixels on its longer
    // side) and, in case there is none, its application's icon near iconSize
    // pixels, off the GUI thread. `done` runs once, later, on the GUI thread,
    // unless `receiver` has gone or the ticket returned was cancelled first.
    virtual quint64 requestPreview(
        const DesktopWindow& window, double maxDimension, int iconSize, QObject* receiver, PreviewHandler done)
        = 0;
    virtual void cancelPreview(quint64 ticket) = 0;

    virtual void refreshWindows() = 0;
    virtual void pauseRecording() = 0;
    virtual void resumeRecording() = 0;

signals:
    // A list, the loading flag or the permission flag changed.
    void listingChanged();
    // The phase, the clock, the step count, the tracking flag or the closed
    // flag changed.
    void recordingChanged();
};

} // namespace zova
