#include "app/library/LibraryEditor.h"

#include "app/library/LibraryRecording.h"
#include "editor/GuideEditorView.h"
#include "editor/list/StepListLayout.h"
#include "editor/list/StepRowPainter.h"
#include "editor/list/StepThumbnails.h"
#include "editor/list/StepsSidebar.h"
#include "model/ModelContext.h"

#include <QGuiApplication>

namespace zova {

LibraryEditor::LibraryEditor(
    ModelContext* context, LibraryRecording* recording, const Settings& settings, PermissionsService* permissions)
    : m_context(context)
    , m_recording(recording)
    , m_settings(settings)
    , m_permissions(permissions)
    , m_thumbnails(std::make_unique<StepThumbnails>(
          step_row::thumbnailBox(StepsSidebar::columnWidth - 2 * step_list::sidePadding, qGuiApp->devicePixelRatio())))
{
}

LibraryEditor::~LibraryEditor() = default;

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
        dependencies.thumbnails = m_thumbnails.get();
        dependencies.settings = &m_settings;
        dependencies.permissions = m_permissions;
        return new GuideEditorView(guide, m_context, std::move(hooks), std::move(dependencies));
    };
}

} // namespace zova
