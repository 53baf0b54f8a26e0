#include "app/ServiceRecordingFeed.h"

#include "engine/RecordingService.h"

namespace zova {

ServiceRecordingFeed::ServiceRecordingFeed(RecordingService& service, QObject* parent)
    : RecordingFeed(parent), m_service(&service)
{
    for (auto signal : {&RecordingService::availableWindowsChanged, &RecordingService::availableDisplaysChanged,
                        &RecordingService::isLoadingWindowsChanged, &RecordingService::permissionDeniedChanged})
        connect(&service, signal, this, &RecordingFeed::listingChanged);
    for (auto signal : {&RecordingService::phaseChanged, &RecordingService::elapsedChanged,
                        &RecordingService::stepCountChanged, &RecordingService::clickTrackingActiveChanged})
        connect(&service, signal, this, &RecordingFeed::recordingChanged);
}

RecordingFeed::Phase ServiceRecordingFeed::phase() const
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

double ServiceRecordingFeed::elapsed() const
{
    return m_service ? m_service->elapsed() : 0;
}

int ServiceRecordingFeed::stepCount() const
{
    return m_service ? m_service->stepCount() : 0;
}

bool ServiceRecordingFeed::clickTrackingActive() const
{
    return m_service && m_service->clickTrackingActive();
}

QList<ShareableWindow> ServiceRecordingFeed::availableWindows() const
{
    return m_service ? m_service->availableWindows() : QList<ShareableWindow>{};
}

QList<ShareableDisplay> ServiceRecordingFeed::availableDisplays() const
{
    return m_service ? m_service->availableDisplays() : QList<ShareableDisplay>{};
}

bool ServiceRecordingFeed::isLoadingWindows() const
{
    return m_service && m_service->isLoadingWindows();
}

bool ServiceRecordingFeed::permissionDenied() const
{
    return m_service && m_service->permissionDenied();
}

bool ServiceRecordingFeed::hasTargetDisplay() const
{
    return m_service && m_service->targetDisplay().has_value();
}

std::optional<QRectF> ServiceRecordingFeed::targetFrame() const
{
    return m_service ? m_service->targetFrame() : std::nullopt;
}

std::optional<QImage> ServiceRecordingFeed::thumbnail(const ShareableWindow& window, double maxDimension)
{
    return m_service ? m_service->capture().thumbnail(window, maxDimension) : std::nullopt;
}

void ServiceRecordingFeed::refreshWindows()
{
    if (m_service)
        m_service->refreshWindows();
}

void ServiceRecordingFeed::pauseRecording()
{
    if (m_service)
        m_service->pauseRecording();
}

void ServiceRecordingFeed::resumeRecording()
{
    if (m_service)
        m_service->resumeRecording();
}

} // namespace zova
