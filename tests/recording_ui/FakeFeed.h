#pragma once

#include "recording_ui/RecordingFeed.h"

#include <QHash>
#include <QPointer>

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
    // What a preview request is answered with: the thumbnailer's image, and the
    // icon of `icons` when there is no image.
    std::function<std::optional<QImage>(const zova::DesktopWindow&)> thumbnailer;
    QHash<zova::WindowID, QImage> icons;
    // Answers each request on a later turn of the event loop; else the test calls answer().
    bool autoAnswer = true;

    int refreshCalls = 0;
    int pauseCalls = 0;
    int resumeCalls = 0;
    QList<zova::WindowID> thumbnailRequests;
    struct PreviewRequest {
        quint64 ticket;
        zova::DesktopWindow window;
        double maxDimension;
        int iconSize;
        QPointer<QObject> receiver;
        PreviewHandler done;
        bool cancelled = false;
        bool answered = false;
    };
    QList<PreviewRequest> previewRequests;

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
    quint64 requestPreview(const zova::DesktopWindow& window, double maxDimension, int iconSize, QObject* receiver,
        PreviewHandler done) override
    {
        const quint64 ticket = quint64(previewRequests.size()) + 1;
        thumbnailRequests.append(window.windowID);
        previewRequests.append({ ticket, window, maxDimension, iconSize, receiver, std::move(done) });
        if (autoAnswer)
            QMetaObject::invokeMethod(
                this, [this, ticket] { answer(ticket); }, Qt::QueuedConnection);
        return ticket;
    }
    void cancelPreview(quint64 ticket) override
    {
        if (PreviewRequest* request = find(ticket))
            request->cancelled = true;
    }
    // Answers the request unless it was cancelled, answered or its receiver has
    // gone; whether it was answered.
    bool answer(quint64 ticket)
    {
        PreviewRequest* request = find(ticket);
        if (!request || request->cancelled || request->answered || !request->receiver)
            return false;
        request->answered = true;
        Preview preview;
        preview.thumbnail = thumbnailer ? thumbnailer(request->window) : std::nullopt;
        if (!preview.thumbnail && request->window.owningApplication && icons.contains(request->window.windowID))
            preview.icon = icons.value(request->window.windowID);
        const PreviewHandler done = request->done;
        done(preview);
        return true;
    }
    PreviewRequest* find(quint64 ticket)
    {
        return ticket >= 1 && ticket <= quint64(previewRequests.size()) ? &previewRequests[qsizetype(ticket) - 1]
                                                                        : nullptr;
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
