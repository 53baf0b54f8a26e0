#include "recording_ui/RecordingServiceFeed.h"

namespace zova {

RecordingServiceFeed::RecordingServiceFeed(RecordingService& service, WindowPreviews* previews, QObject* parent)
    : RecordingFeed(parent)
    , m_service(&service)
    , m_previews(previews)
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
        return Phase::Idle;
    switch (m_service->phase()) {
    case RecordingService::Phase::Idle: return Phase::Idle;
    case RecordingService::Phase::Picking: return Phase::Picking;
    case RecordingService::Phase::Armed: return Phase::Armed;
    case RecordingService::Phase::Paused: return Phase::Paused;
    case RecordingService::Phase::Finishing: return Phase::Finishing;
    }
    return Phase::Idle;
}

double RecordingServiceFeed::elapsed() const { return m_service ? m_service->elapsed() : 0; }

int RecordingServiceFeed::stepCount() const { return m_service ? m_service->stepCount() : 0; }

bool RecordingServiceFeed::clickTrackingActive() const { return m_service && m_service->clickTrackingActive(); }

bool RecordingServiceFeed::targetWindowClosed() const { return m_service && m_service->targetWindowClosed(); }

QList<DesktopWindow> RecordingServiceFeed::availableWindows() const
{
    return m_service ? m_service->availableWindows() : QList<DesktopWindow> {};
}

QList<DesktopScreen> RecordingServiceFeed::availableDisplays() const
{
    return m_service ? m_service->availableDisplays() : QList<DesktopScreen> {};
}

bool RecordingServiceFeed::isLoadingWindows() const { return m_service && m_service->isLoadingWindows(); }

bool RecordingServiceFeed::permissionDenied() const { return m_service && m_service->permissionDenied(); }

bool RecordingServiceFeed::hasTargetDisplay() const { return m_service && m_service->targetDisplay().has_value(); }

std::optional<QRectF> RecordingServiceFeed::targetFrame() const
{
    return m_service ? m_service->targetFrame() : std::nullopt;
}

quint64 RecordingServiceFeed::requestPreview(
    const DesktopWindow& window, double maxDimension, int iconSize, QObject* receiver, PreviewHandler done)
{
    if (m_previews)
        return m_previews->request(window, maxDimension, iconSize, receiver, std::move(done));
    QMetaObject::invokeMethod(
        receiver, [done = std::move(done)] { done({}); }, Qt::QueuedConnection);
    return 0;
}

void RecordingServiceFeed::cancelPreview(quint64 ticket)
{
    if (m_previews)
        m_previews->cancel(ticket);
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
