#pragma once

#include "engine/RecordingService.h"
#include "recording_ui/RecordingFeed.h"

#include <QPointer>

namespace zova {

// The feed of a live RecordingService. Once the service is gone it reads as
// idle with empty lists and ignores requests.
class RecordingServiceFeed final : public RecordingFeed {
    Q_OBJECT
public:
    explicit RecordingServiceFeed(RecordingService& service, QObject* parent = nullptr);

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
    std::optional<QImage> thumbnail(const DesktopWindow& window, double maxDimension) override;
    void refreshWindows() override;
    void pauseRecording() override;
    void resumeRecording() override;

private:
    QPointer<RecordingService> m_service;
};

} // namespace zova
