#pragma once

#include "app/library/LibraryHooks.h"
#include "platform/PlatformBackends.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace zova {

class AppWindowOps;
class Guide;
class LibraryView;
class LiveRecordingWindows;
class ModelContext;
class PermissionsService;
class RecordingFlow;
class RecordingService;
class ServiceRecordingControl;
class StorageService;
class RecordingServiceFeed;
class WindowPreviews;

// The library's recording: made once, on the library's first appearance, with
// the one recording service, the picker, outline and panel, and the flow that
// joins them. Until then the library's recording hooks do nothing.
class LibraryRecording final : public QObject {
    Q_OBJECT
public:
    // The screenshot folder and the permissions are the application's and
    // outlive this object; the recording works through `backends`.
    LibraryRecording(ModelContext* context, const StorageService& storage, PermissionsService& permissions,
        PlatformBackends backends, QObject* parent = nullptr);
    ~LibraryRecording() override;

    // Hooks for the library; they stay valid while this object lives.
    LibraryHooks hooks();
    // Creates the service for the library; later calls do nothing.
    void attach(LibraryView* library);
    // More steps for the guide (the editor's append request).
    void startAppendRecording(Guide* guide);

    RecordingService* service() const { return m_service.get(); }
    RecordingFlow* flow() const { return m_flow.get(); }
    LiveRecordingWindows* windows() const { return m_windows.get(); }

private:
    QPointer<ModelContext> m_context;
    const StorageService& m_storage;
    QPointer<LibraryView> m_library;
    PermissionsService& m_permissions;
    PlatformBackends m_backends;
    std::unique_ptr<RecordingService> m_service;
    // The picker's thumbnails and icons, on a thread of their own.
    std::unique_ptr<WindowPreviews> m_previews;
    std::unique_ptr<RecordingServiceFeed> m_feed;
    std::unique_ptr<ServiceRecordingControl> m_control;
    std::unique_ptr<AppWindowOps> m_windowOps;
    std::unique_ptr<LiveRecordingWindows> m_windows;
    std::unique_ptr<RecordingFlow> m_flow;
};

} // namespace zova
