#pragma once

#include "recording_ui/RecordingFeed.h"

#include <QPointer>

namespace zova {

class RecordingService;

// The recording windows' view of the recording service.
class ServiceRecordingFeed final : public RecordingFeed {
    Q_OBJECT
public:
    explicit ServiceRecordingFeed(RecordingService& service, QObject* parent = nullptr);

    Phase phase() const override;
    double elapsed() const override;
    int stepCount() const override;
    bool clickTrackingActive() const override;
    QList<ShareableWindow> availableWindows() const override;
    QList<ShareableDisplay> availableDisplays() const override;
    bool isLoadingWindows() const override;
    bool permissionDenied() const override;
    bool hasTargetDisplay() const override;
    std::optional<QRectF> targetFrame() const override;
    std::optional<QImage> thumbnail(const ShareableWindow& window, double maxDimension) override;
    void refreshWindows() override;
    void pauseRecording() override;
    void resumeRecording() override;

private:
    QPointer<RecordingService> m_service;
};

} // namespace zova
