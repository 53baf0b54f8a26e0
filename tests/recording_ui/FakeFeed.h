#pragma once

#include "recording_ui/RecordingFeed.h"

#include <functional>

// A recording whose fields the test sets; it counts what the views ask of it.
class FakeFeed final : public zova::RecordingFeed {
public:
    Phase phaseValue = Phase::Picking;
    double elapsedValue = 0;
    int steps = 0;
    bool tracking = true;
    bool closed = false;
    QList<zova::DesktopWindow> windows;
    QList<zova::DesktopScreen> displays;
    bool loading = false;
    bool denied = false;
    bool isDisplay = false;
    std::optional<QRectF> frame;
    std::function<std::optional<QImage>(const zova::DesktopWindow&)> thumbnailer;

    int refreshCalls = 0;
    int pauseCalls = 0;
    int resumeCalls = 0;
    QList<zova::WindowID> thumbnailRequests;

    Phase phase() const override { return phaseValue; }
    double elapsed() const override { return elapsedValue; }
    int stepCount() const override { return steps; }
    bool clickTrackingActive() const override { return tracking; }
    bool targetWindowClosed() const override { return closed; }
    QList<zova::DesktopWindow> availableWindows() const override { return windows; }
    QList<zova::DesktopScreen> availableDisplays() const override { return displays; }
    bool isLoadingWindows() const override { return loading; }
    bool permissionDenied() const override { return denied; }
    bool hasTargetDisplay() const override { return isDisplay; }
    std::optional<QRectF> targetFrame() const override { return frame; }
    std::optional<QImage> thumbnail(const zova::DesktopWindow& window, double) override
    {
        thumbnailRequests.append(window.windowID);
        return thumbnailer ? thumbnailer(window) : std::nullopt;
    }
    void refreshWindows() override { ++refreshCalls; }
    void pauseRecording() override
    {
        ++pauseCalls;
        phaseValue = Phase::Paused;
        emit recordingChanged();
    }
    void resumeRecording() override
    {
        ++resumeCalls;
        phaseValue = Phase::Armed;
        emit recordingChanged();
    }

    void setListing(
        QList<zova::DesktopWindow> w, QList<zova::DesktopScreen> d, bool isLoading = false, bool isDenied = false)
    {
        windows = std::move(w);
        displays = std::move(d);
        loading = isLoading;
        denied = isDenied;
        emit listingChanged();
    }
    void setRecording(Phase phase, double seconds, int stepCount, bool isTracking)
    {
        phaseValue = phase;
        elapsedValue = seconds;
        steps = stepCount;
        tracking = isTracking;
        emit recordingChanged();
    }
};

inline zova::DesktopWindow window(zova::WindowID id, std::optional<QString> title = QStringLiteral("Inbox"),
    std::optional<QString> app = QStringLiteral("Mail"))
{
    zova::DesktopWindow w;
    w.windowID = id;
    w.title = std::move(title);
    w.frame = QRectF(100, 100, 640, 400);
    w.isOnScreen = true;
    if (app)
        w.owningApplication = zova::RunningApplication { *app, app->toLower(), qint32(1000 + id) };
    return w;
}

inline zova::DesktopScreen display(quint32 id, int width, int height, bool primary)
{
    zova::DesktopScreen d;
    d.displayID = id;
    d.width = width;
    d.height = height;
    d.frame = QRectF(0, 0, width, height);
    d.isPrimary = primary;
    return d;
}
