#pragma once

#include "app/library/LibraryHooks.h"
#include "editor/files/ImageEditorHandOff.h"

#include <QPointer>

namespace zova {

class LibraryRecording;
class ModelContext;
class PermissionsService;
class ScreenshotCache;
class Settings;
class StorageService;

// The library's editor: builds the guide editor for the library's editor hook,
// with the application's screenshot folder and cache, one image-editor hand-off
// for every editor, and the library's recording flow for "record more steps".
class LibraryEditor final {
public:
    // The screenshot folder and cache, the settings and the permissions are the
    // application's and outlive this object.
    LibraryEditor(ModelContext* context, const StorageService& storage, LibraryRecording* recording,
        ScreenshotCache& screenshots, const Settings& settings, PermissionsService* permissions = nullptr,
        ImageEditorHandOff imageEditor = ImageEditorHandOff());

    // Valid while this object lives.
    decltype(LibraryHooks::makeEditor) hook();
    // The library deletes the guide: the image editor's copies of its steps go.
    void guideWillBeDeleted(const Guide& guide);

private:
    QPointer<ModelContext> m_context;
    const StorageService& m_storage;
    QPointer<LibraryRecording> m_recording;
    ScreenshotCache& m_screenshots;
    const Settings& m_settings;
    PermissionsService* m_permissions = nullptr;
    // One for every editor, so a step's copies are known whichever editor made them.
    ImageEditorHandOff m_imageEditor;
};

} // namespace zova
