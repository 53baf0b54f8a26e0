#pragma once

#include "engine/RecordingService.h"
#include "recording_ui/RecordingFeed.h"

#include <QPointer>

namespace zova {

// The feed of a live RecordingService, with the window previews taken by
// `previews` (which outlives the feed). Once the service is gone it reads as
// idle with empty lists and ignores requests; without `previews` every preview
// is answered with nothing.
class RecordingServiceFeed final : public RecordingFeed {
    Q_OBJECT
public:
    explicit RecordingServiceFeed(
        RecordingService& service, WindowPreviews* previews = nullptr, QObject* parent = nullptr);

    Phase phase() const override;
    double elapsed() const override;
    int stepCount() const override;
    bool clickTrackingActive() const override;
    bool targetWindowClosed() const override;
    QList<DesktopWindow> availableWindows() const override;
    QList<DesktopScreen> availableDisplays() const override;
    bool isLoadingWindows() const override;
    bool permissionDenied() const override;
    bool hasTargetDisplay() const override;
    std::optional<QRectF> targetFrame() const override;
    quint64 requestPreview(const DesktopWindow& window, double maxDimension, int iconSize, QObject* receiver,
        PreviewHandler done) override;
    void cancelPreview(quint64 ticket) override;
    void refreshWindows() override;
    void pauseRecording() override;
    void resumeRecording() override;

private:
    QPointer<RecordingService> m_service;
    QPointer<WindowPreviews> m_previews;
};

} // namespace zova
