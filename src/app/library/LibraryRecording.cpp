#include "app/library/LibraryRecording.h"

#include "app/library/LibraryView.h"
#include "app/recording/LiveRecordingWindows.h"
#include "app/recording/RecordingFlow.h"
#include "app/recording/ServiceRecordingControl.h"
#include "app/shell/EwmhAppWindowOps.h"
#include "engine/PermissionsService.h"
#include "engine/RecordingService.h"
#include "engine/WindowPreviews.h"
#include "model/ModelContext.h"
#include "recording_ui/RecordingServiceFeed.h"

namespace zova {

LibraryRecording::LibraryRecording(ModelContext* context, const StorageService& storage,
    PermissionsService& permissions, PlatformBackends backends, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_storage(storage)
    , m_permissions(permissions)
    , m_backends(std::move(backends))
{
}

LibraryRecording::~LibraryRecording()
{
    // The flow and the windows go before the service they act on.
    m_flow.reset();
    m_windows.reset();
    m_control.reset();
    m_feed.reset();
    m_previews.reset();
}

LibraryHooks LibraryRecording::hooks()
{
    QPointer<LibraryRecording> self(this);
    LibraryHooks hooks;
    hooks.didAppear = [self](LibraryView* library) {
        if (self)
            self->attach(library);
    };
    hooks.startPickingWindow = [self] {
        if (self && self->m_flow)
            self->m_flow->startPickingWindow();
    };
    hooks.isBeingRecorded
        = [self](const Guide& guide) { return self && self->m_flow && self->m_flow->isBeingRecorded(guide); };
    hooks.willDelete = [self](const Guide& guide) {
        if (self && self->m_flow)
            self->m_flow->willDelete(guide);
    };
    return hooks;
}

void LibraryRecording::attach(LibraryView* library)
{
    if (m_service || !library || !m_context)
        return;
    m_library = library;
    m_permissions.refreshSync();
    m_service = std::make_unique<RecordingService>(*m_context, m_backends, m_storage);
    m_previews = std::make_unique<WindowPreviews>(m_backends.previews);
    m_feed = std::make_unique<RecordingServiceFeed>(*m_service, m_previews.get());
    m_control = std::make_unique<ServiceRecordingControl>(*m_service);
    m_windowOps = std::make_unique<EwmhAppWindowOps>(m_backends.windowOperations);
    m_windows = std::make_unique<LiveRecordingWindows>(*m_feed, m_permissions, m_backends.compositing, library);
    QPointer<LibraryView> view(library);
    RecordingFlow::Host host;
    host.mainWindow = [view]() -> QWidget* { return view ? view->window() : nullptr; };
    host.openGuide = [view](Guide* guide) {
        if (view)
            view->setEditingGuide(guide);
    };
    m_flow = std::make_unique<RecordingFlow>(*m_control, *m_windows, *m_windowOps, std::move(host));
}

void LibraryRecording::startAppendRecording(Guide* guide)
{
    if (m_flow)
        m_flow->startAppendRecording(guide);
}

} // namespace zova
