#include "app/library/LibraryEditor.h"

#include "app/library/LibraryRecording.h"
#include "editor/GuideEditorView.h"
#include "model/ModelContext.h"

namespace zova {

LibraryEditor::LibraryEditor(ModelContext* context, LibraryRecording* recording, ScreenshotCache& screenshots,
    const Settings& settings, PermissionsService* permissions)
    : m_context(context)
    , m_recording(recording)
    , m_screenshots(screenshots)
    , m_settings(settings)
    , m_permissions(permissions)
{
}

decltype(LibraryHooks::makeEditor) LibraryEditor::hook()
{
    return [this](Guide* guide, std::function<void()> onClose) -> QWidget* {
        EditorController::Hooks hooks;
        hooks.close = std::move(onClose);
        QPointer<LibraryRecording> recording = m_recording;
        hooks.appendRecording = [recording](Guide* target) {
            if (recording)
                recording->startAppendRecording(target);
        };
        GuideEditorView::Dependencies dependencies;
        dependencies.thumbnails = &m_screenshots;
        dependencies.settings = &m_settings;
        dependencies.permissions = m_permissions;
        return new GuideEditorView(guide, m_context, std::move(hooks), std::move(dependencies));
    };
}

} // namespace zova
