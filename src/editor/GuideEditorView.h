#pragma once

#include "editor/EditorController.h"
#include "editor/canvas/CanvasColumn.h"
#include "editor/rewrite/DescriptionRewriter.h"
#include "export/panel/ExportPanel.h"
#include "style/ConfirmDialog.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace zova {

class Settings;
class StorageService;

class Guide;
class PermissionsService;
class ModelContext;
class RewriteRun;
class TitleBarPopovers;
class ScreenshotCache;
class StepsSidebar;

// The screen of one open guide: the step list beside the canvas, the export
// panel laid over both, the deletion and failure alerts, and Backspace / Delete
// for the selection. It never closes itself: "Back to Library" calls the close hook.
class GuideEditorView : public QWidget {
    Q_OBJECT
public:
    using ExportPanelFactory
        = std::function<ExportPanel*(Guide* guide, std::function<void()> onDismiss, QWidget* host)>;

    struct Dependencies {
        // The application's screenshots, shared by every editor; required.
        ScreenshotCache* thumbnails = nullptr;
        // The application's; required for the real panel (it reads the narrator voice).
        const Settings* settings = nullptr;
        // The application's screenshot folder; required. Empty members of the file
        // hook reach it, and the real panel exports from it.
        const StorageService* storage = nullptr;
        // Empty for the real panel.
        ExportPanelFactory makeExportPanel;
        // The application's; the empty state follows its click-tracking flag.
        PermissionsService* permissions = nullptr;
        // Empty for the editor's own crop overlay.
        CanvasColumn::CropOverlayFactory makeCropOverlay;
        // The language model that rewrites descriptions; empty for the local chat server.
        std::function<std::unique_ptr<DescriptionRewriter>()> makeRewriter;
    };

    GuideEditorView(Guide* guide, ModelContext* context, EditorController::Hooks hooks, Dependencies dependencies,
        QWidget* parent = nullptr);
    ~GuideEditorView() override;

    EditorController* controller() const { return m_controller; }
    StepsSidebar* sidebar() const { return m_sidebar; }
    CanvasColumn* canvas() const { return m_canvas; }
    ExportPanel* exportPanel() const { return m_exportPanel; }
    ConfirmDialog* deleteAlert() const { return m_deleteAlert; }
    QMessageBox* fileErrorAlert() const { return m_fileErrorAlert; }
    QMessageBox* aiErrorAlert() const { return m_aiErrorAlert; }
    RewriteRun* rewriteRun() const { return m_rewrite; }
    TitleBarPopovers* popovers() const { return m_popovers; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void deleteKey();
    void refreshSheets();
    void refreshAlerts();
    QMessageBox* openFailureAlert(const QString& title, const QString& text, std::function<void()> clear);

    EditorController* m_controller;
    Dependencies m_dependencies;
    StepsSidebar* m_sidebar = nullptr;
    CanvasColumn* m_canvas = nullptr;
    std::unique_ptr<DescriptionRewriter> m_rewriter;
    RewriteRun* m_rewrite = nullptr;
    TitleBarPopovers* m_popovers = nullptr;
    QPointer<ExportPanel> m_exportPanel;
    QPointer<ConfirmDialog> m_deleteAlert;
    QPointer<QMessageBox> m_fileErrorAlert;
    QPointer<QMessageBox> m_aiErrorAlert;
    bool m_appeared = false;
};

} // namespace zova
