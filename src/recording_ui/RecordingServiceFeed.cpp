#include "recording_ui/RecordingServiceFeed.h"

namespace zova {

RecordingServiceFeed::RecordingServiceFeed(RecordingService& service, QObject* parent)
    : RecordingFeed(parent)
    , m_service(&service)
{
    for (auto signal : { &RecordingService::availableWindowsChanged, &RecordingService::availableDisplaysChanged,
             &RecordingService::isLoadingWindowsChanged, &RecordingService::permissionDeniedChanged })
        connect(&service, signal, this, &RecordingFeed::listingChanged);
    for (auto signal :
        { &RecordingService::phaseChanged, &RecordingService::elapsedChanged, &RecordingService::stepCountChanged,
            &RecordingService::clickTrackingActiveChanged, &RecordingService::targetWindowClosedChanged })
        connect(&service, signal, this, &RecordingFeed::recordingChanged);
}

RecordingFeed::Phase RecordingServiceFeed::phase() const
{
    if (!m_service)
        return Phase::idle;
    switch (m_service->phase()) {
    case RecordingService::Phase::idle: return Phase::idle;
    case RecordingService::Phase::picking: return Phase::picking;
    case RecordingService::Phase::armed: return Phase::armed;
    case RecordingService::Phase::paused: return Phase::paused;
    case RecordingService::Phase::finishing: return Phase::finishing;
    }
    return Phase::idle;
}

double RecordingServiceFeed::elapsed() const { return m_service ? m_service->elapsed() : 0; }

int RecordingServiceFeed::stepCount() const { return m_service ? m_service->stepCount() : 0; }

bool RecordingServiceFeed::clickTrackingActive() const { return m_service && m_service->clickTrackingActive(); }

bool RecordingServiceFeed::targetWindowClosed() const { return m_service && m_service->targetWindowClosed(); }

QList<ShareableWindow> RecordingServiceFeed::availableWindows() const
{
    return m_service ? m_service->availableWindows() : QList<ShareableWindow> {};
}

QList<ShareableDisplay> RecordingServiceFeed::availableDisplays() const
{
    return m_service ? m_service->availableDisplays() : QList<ShareableDisplay> {};
}

bool RecordingServiceFeed::isLoadingWindows() const { return m_service && m_service->isLoadingWindows(); }

bool RecordingServiceFeed::permissionDenied() const { return m_service && m_service->permissionDenied(); }

bool RecordingServiceFeed::hasTargetDisplay() const { return m_service && m_service->targetDisplay().has_value(); }

std::optional<QRectF> RecordingServiceFeed::targetFrame() const
{
    return m_service ? m_service->targetFrame() : std::nullopt;
}

std::optional<QImage> RecordingServiceFeed::thumbnail(const ShareableWindow& window, double maxDimension)
{
    return m_service ? m_service->capture().thumbnail(window, maxDimension) : std::nullopt;
}

void RecordingServiceFeed::refreshWindows()
{
    if (m_service)
        m_service->refreshWindows();
}

void RecordingServiceFeed::pauseRecording()
{
    if (m_service)
        m_service->pauseRecording();
}

void RecordingServiceFeed::resumeRecording()
{
    if (m_service)
        m_service->resumeRecording();
}

} // namespace zova
