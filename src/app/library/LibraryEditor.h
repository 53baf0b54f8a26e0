#pragma once

#include "app/library/LibraryHooks.h"

#include <QPointer>

namespace zova {

class LibraryRecording;
class ModelContext;
class PermissionsService;
class ScreenshotCache;
class Settings;

// The library's editor: builds the guide editor for the library's editor hook,
// with the application's screenshot cache and the library's recording flow for
// "record more steps".
class LibraryEditor final {
public:
    // The screenshots, settings and permissions are the application's and outlive this object.
    LibraryEditor(ModelContext* context, LibraryRecording* recording, ScreenshotCache& screenshots,
        const Settings& settings, PermissionsService* permissions = nullptr);

    // Valid while this object lives.
    decltype(LibraryHooks::makeEditor) hook();

private:
    QPointer<ModelContext> m_context;
    QPointer<LibraryRecording> m_recording;
    ScreenshotCache& m_screenshots;
    const Settings& m_settings;
    PermissionsService* m_permissions = nullptr;
};

} // namespace zova
