#pragma once

#include "app/library/LibraryHooks.h"

#include <QPointer>

#include <memory>

namespace zova {

class LibraryRecording;
class ModelContext;
class PermissionsService;
class Settings;
class StepThumbnails;

// The library's editor: builds the guide editor for the library's editor hook,
// with the one thumbnail cache of the process and the library's recording flow
// for "record more steps".
class LibraryEditor final {
public:
    // The settings and the permissions are the application's and outlive this object.
    LibraryEditor(ModelContext* context, LibraryRecording* recording, const Settings& settings,
        PermissionsService* permissions = nullptr);
    ~LibraryEditor();

    // Valid while this object lives.
    decltype(LibraryHooks::makeEditor) hook();
    StepThumbnails* thumbnails() const { return m_thumbnails.get(); }

private:
    QPointer<ModelContext> m_context;
    QPointer<LibraryRecording> m_recording;
    const Settings& m_settings;
    PermissionsService* m_permissions = nullptr;
    std::unique_ptr<StepThumbnails> m_thumbnails;
};

} // namespace zova
