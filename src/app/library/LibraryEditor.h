#pragma once

#include "app/library/LibraryHooks.h"
#include "editor/files/ImageEditorHandOff.h"

#include <QPointer>

#include <memory>

namespace zova {

class LibraryRecording;
class ModelContext;
class PermissionsService;
class Settings;
class StepThumbnails;
class StorageService;

// The library's editor: builds the guide editor for the library's editor hook,
// with the one thumbnail cache of the process and the library's recording flow
// for "record more steps".
class LibraryEditor final {
public:
    // The screenshot folder, the settings and the permissions are the
    // application's and outlive this object.
    LibraryEditor(ModelContext* context, const StorageService& storage, LibraryRecording* recording,
        const Settings& settings, PermissionsService* permissions = nullptr);
    ~LibraryEditor();

    // Valid while this object lives.
    decltype(LibraryHooks::makeEditor) hook();
    // The library deletes the guide: the image editor's copies of its steps go.
    void guideWillBeDeleted(const Guide& guide);
    StepThumbnails* thumbnails() const { return m_thumbnails.get(); }

private:
    QPointer<ModelContext> m_context;
    const StorageService& m_storage;
    QPointer<LibraryRecording> m_recording;
    const Settings& m_settings;
    PermissionsService* m_permissions = nullptr;
    std::unique_ptr<StepThumbnails> m_thumbnails;
    // One for every editor, so a step's copies are known whichever editor made them.
    ImageEditorHandOff m_imageEditor;
};

} // namespace zova
