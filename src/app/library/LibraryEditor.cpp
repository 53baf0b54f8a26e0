#include "app/library/LibraryEditor.h"

#include "app/library/LibraryRecording.h"
#include "editor/GuideEditorView.h"
#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/Step.h"

namespace zova {

LibraryEditor::LibraryEditor(ModelContext* context, const StorageService& storage, LibraryRecording* recording,
    ScreenshotCache& screenshots, const Settings& settings, PermissionsService* permissions,
    ImageEditorHandOff imageEditor)
    : m_context(context)
    , m_storage(storage)
    , m_recording(recording)
    , m_screenshots(screenshots)
    , m_settings(settings)
    , m_permissions(permissions)
    , m_imageEditor(std::move(imageEditor))
{
}

void LibraryEditor::guideWillBeDeleted(const Guide& guide)
{
    QSet<QUuid> steps;
    for (const Step* step : guide.steps())
        steps.insert(step->id());
    m_imageEditor.removeCopiesOf(steps);
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
        hooks.files = ScreenshotFiles::of(m_storage);
        hooks.imageEditor = m_imageEditor;
        GuideEditorView::Dependencies dependencies;
        dependencies.thumbnails = &m_screenshots;
        dependencies.storage = &m_storage;
        dependencies.settings = &m_settings;
        dependencies.permissions = m_permissions;
        return new GuideEditorView(guide, m_context, std::move(hooks), std::move(dependencies));
    };
}

} // namespace zova
