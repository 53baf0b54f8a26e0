#include "engine/ClickTrackingService.h"

#include "base/NotifyingProperty.h"
#include "engine/EngineLog.h"

namespace zova {

QString ClickTrackingService::startFailureMessage(StartFailure failure)
{
    switch (failure) {
    case StartFailure::InputMonitoringNotGranted:
        return QStringLiteral(
            "Input Monitoring is not available: click tracking needs an X11 session with XInput 2.1 or later.");
    }
    return {};
}

ClickTrackingService::ClickTrackingService(TapFactory factory, QObject* parent)
    : QObject(parent)
    , m_factory(std::move(factory))
{
    m_healthCheckTimer.setInterval(1000);
    connect(&m_healthCheckTimer, &QTimer::timeout, this, &ClickTrackingService::healthCheck);
}

ClickTrackingService::~ClickTrackingService()
{
    // Joins the tap's thread, so nothing is posted to a dying object.
    if (m_tap)
        m_tap->stop();
}

Expected<void, ClickTrackingService::StartFailure> ClickTrackingService::start()
{
    if (m_isTracking)
        return {};
    std::unique_ptr<ClickTap> tap = m_factory ? m_factory() : nullptr;
    // Runs on the tap's thread: read, log, hand on, return.
    auto onPress = [this](const ClickTap::Press& press) {
        const ClickEvent event { press.x, press.y, press.timestamp };
        qCInfo(lcClickTracking).noquote()
            << QString::asprintf("Click received at (%f, %f) type=%u", press.x, press.y, press.button);
        QMetaObject::invokeMethod(
            this, [this, event] { deliver(event); }, Qt::QueuedConnection);
    };
    auto onLoss = [this](quint32 code) {
        QMetaObject::invokeMethod(
            this, [this, code] { onTapLost(code); }, Qt::QueuedConnection);
    };
    if (!tap || !tap->start(onPress, onLoss))
        return unexpected(StartFailure::InputMonitoringNotGranted);
    m_tap = std::move(tap);
    setTracking(true);
    m_healthCheckTimer.start();
    qCInfo(lcClickTracking) << "Click tap started";
    return {};
}

void ClickTrackingService::stop()
{
    if (m_tap)
        m_tap->stop();
    m_healthCheckTimer.stop();
    m_tap.reset();
    setTracking(false);
    qCInfo(lcClickTracking) << "Click tap stopped";
}

void ClickTrackingService::setOnClick(ClickHandler handler)
{
    m_onClick = std::move(handler);
    emit onClickChanged();
}

void ClickTrackingService::deliver(const ClickEvent& event)
{
    m_lastClick = event;
    emit lastClickChanged();
    if (m_onClick) {
        const ClickHandler handler = m_onClick; // the handler may replace itself
        handler(event);
    }
}

void ClickTrackingService::onTapLost(quint32 code)
{
    if (m_tap && !m_tap->isEnabled() && m_tap->reenable())
        countReenable();
    qCCritical(lcClickTracking).noquote() << QStringLiteral("Click tap disabled (%1) — re-enabled").arg(code);
}

void ClickTrackingService::healthCheck()
{
    if (!m_tap || m_tap->isEnabled())
        return;
    if (!m_tap->reenable())
        return;
    countReenable();
    qCCritical(lcClickTracking) << "Health-check found tap disabled — re-enabled";
}

void ClickTrackingService::setTracking(bool tracking)
{
    setNotifying(this, m_isTracking, tracking, &ClickTrackingService::isTrackingChanged);
}

void ClickTrackingService::countReenable()
{
    ++m_tapReenableCount;
    emit tapReenableCountChanged();
}

} // namespace zova
