#include "app/recording/RecordingFlow.h"

#include "app/AppLog.h"
#include "app/shell/AppWindowOps.h"
#include "base/NotifyingProperty.h"
#include "model/Guide.h"

#include <QWidget>

namespace zova {

using Phase = RecordingControl::Phase;

RecordingFlow::RecordingFlow(
    RecordingControl& service, RecordingWindows& windows, AppWindowOps& windowOps, Host host, QObject* parent)
    : QObject(parent)
    , m_service(service)
    , m_windows(windows)
    , m_windowOps(windowOps)
    , m_host(std::move(host))
{
    m_service.setOnFinished([self = QPointer<RecordingFlow>(this)](Guide* guide, bool) {
        if (self)
            self->finish(guide);
    });
    connect(&m_service, &RecordingControl::phaseChanged, this, &RecordingFlow::syncPicker);
    syncPicker();
}

RecordingFlow::~RecordingFlow() { m_service.setOnFinished({}); }

void RecordingFlow::later(std::function<void()> action)
{
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void RecordingFlow::startPickingWindow()
{
    const Phase phase = m_service.phase();
    if (phase != Phase::Idle && phase != Phase::Picking)
        return;
    m_service.setAppendTargetGuide(nullptr);
    openPicker();
}

void RecordingFlow::startAppendRecording(Guide* guide)
{
    const Phase phase = m_service.phase();
    if (!guide || (phase != Phase::Idle && phase != Phase::Picking))
        return;
    m_service.setAppendTargetGuide(guide);
    openPicker();
}

void RecordingFlow::openPicker()
{
    later([this] {
        const Phase phase = m_service.phase();
        if (phase != Phase::Idle && phase != Phase::Picking)
            return;
        if (phase != Phase::Picking)
            m_service.setPhase(Phase::Picking);
        m_service.refreshWindows();
    });
}

void RecordingFlow::syncPicker()
{
    const bool picking = m_service.phase() == Phase::Picking;
    if (!assignIfChanged(m_pickerShown, picking))
        return;
    if (!picking) {
        m_windows.hidePicker();
        return;
    }
    QPointer<RecordingFlow> self(this);
    RecordingWindows::PickerActions actions;
    actions.cancel = [self] {
        if (self)
            self->later([self] { self->m_service.cancelPicker(); });
    };
    actions.startWindow = [self](const DesktopWindow& window) {
        if (self)
            self->later([self, window] { self->startRecording(window); });
    };
    actions.startDisplay = [self](const DesktopScreen& display) {
        if (self)
            self->later([self, display] { self->startRecording(display); });
    };
    m_windows.showPicker(std::move(actions));
}

void RecordingFlow::startRecording(const DesktopWindow& window) { start(window); }

void RecordingFlow::startRecording(const DesktopScreen& display) { start(display); }

template <typename Target> void RecordingFlow::start(const Target& target)
{
    // A second pick of the same open picker finds the recording running.
    if (m_service.phase() != Phase::Picking)
        return;
    if (QWidget* window = m_host.mainWindow ? m_host.mainWindow() : nullptr)
        m_windowOps.minimize(window);
    if (!m_service.startRecording(target)) {
        qCInfo(lcApp) << "recording did not start; the picker stays open";
        m_windows.unlockPicker();
        bringAppToForeground();
        return;
    }
    QPointer<RecordingFlow> self(this);
    RecordingWindows::PanelActions actions;
    actions.stop = [self] {
        if (self)
            self->later([self] { self->m_service.stopRecording(); });
    };
    actions.cancel = [self] {
        if (self)
            self->later([self] { self->cancelRecording(); });
    };
    m_windows.presentOutline();
    m_windows.presentPanel(std::move(actions));
}

void RecordingFlow::closeWindows()
{
    if (m_windows.hasPanel())
        m_windows.closePanel();
    m_windows.dismissOutline();
}

void RecordingFlow::finish(Guide* guide)
{
    QPointer<Guide> recorded(guide);
    closeWindows();
    bringAppToForeground();
    if (recorded && !recorded->isDeleted() && m_host.openGuide)
        m_host.openGuide(recorded);
}

void RecordingFlow::cancelRecording()
{
    m_service.cancelRecording();
    closeWindows();
    bringAppToForeground();
}

void RecordingFlow::bringAppToForeground()
{
    if (QWidget* window = m_host.mainWindow ? m_host.mainWindow() : nullptr)
        m_windowOps.bringToFront(window);
}

bool RecordingFlow::isBeingRecorded(const Guide& guide) const
{
    const Phase phase = m_service.phase();
    if (phase == Phase::Idle || phase == Phase::Picking)
        return false;
    const Guide* current = m_service.currentGuide();
    const Guide* target = m_service.appendTargetGuide();
    return (current && current->id() == guide.id()) || (target && target->id() == guide.id());
}

void RecordingFlow::willDelete(const Guide& guide)
{
    const Guide* target = m_service.appendTargetGuide();
    if (target && target->id() == guide.id())
        m_service.setAppendTargetGuide(nullptr);
}

} // namespace zova
