#include "editor/GuideEditorView.h"

#include "editor/EditorTexts.h"
#include "editor/canvas/CanvasColumn.h"
#include "editor/canvas/CanvasTitleBar.h"
#include "editor/canvas/TitleBarPopovers.h"
#include "editor/files/ImageFileDialog.h"
#include "editor/list/StepListView.h"
#include "editor/list/StepsSidebar.h"
#include "editor/rewrite/RewriteRun.h"
#include "export/panel/ExportPanel.h"
#include "style/MeshWallpaper.h"
#include "style/SheetTransition.h"
#include "style/ZOVAColor.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <QVBoxLayout>

namespace zova {

namespace {

// The line between the two columns.
class ColumnDivider : public QWidget {
public:
    explicit ColumnDivider(QWidget* parent)
        : QWidget(parent)
    {
        setFixedWidth(1);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setOpacity(0.3);
        painter.fillRect(rect(), ZOVAColor::separator());
    }
};

// Text inputs keep Backspace and Delete for themselves.
bool editsText(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget)
        || qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

} // namespace

GuideEditorView::GuideEditorView(
    Guide* guide, ModelContext* context, EditorController::Hooks hooks, Dependencies dependencies, QWidget* parent)
    : QWidget(parent)
    , m_controller(nullptr)
    , m_dependencies(std::move(dependencies))
{
    if (!hooks.chooseImageFile)
        hooks.chooseImageFile = [this] { return image_file::choose(this); };
    if (m_dependencies.storage)
        hooks.files = hooks.files.orElse(ScreenshotFiles::of(*m_dependencies.storage));
    m_controller = new EditorController(guide, context, std::move(hooks), this);
    setObjectName(QStringLiteral("guideEditor"));
    setMinimumSize(1100, 720);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* wallpaper = new MeshWallpaper(MeshWallpaper::Variant::Aurora, this);
    outer->addWidget(wallpaper);
    auto* columns = new QHBoxLayout(wallpaper);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    m_sidebar = new StepsSidebar(m_controller, m_dependencies.thumbnails, wallpaper);
    columns->addWidget(m_sidebar);
    columns->addWidget(new ColumnDivider(wallpaper));
    m_canvas = new CanvasColumn(m_controller, m_dependencies.permissions, wallpaper);
    if (m_dependencies.makeCropOverlay)
        m_canvas->setCropOverlayFactory(m_dependencies.makeCropOverlay);
    columns->addWidget(m_canvas, 1);

    m_rewriter = m_dependencies.makeRewriter ? m_dependencies.makeRewriter() : makeLocalModelRewriter();
    m_rewrite = new RewriteRun(m_controller, context, m_rewriter.get(), this);
    m_popovers = new TitleBarPopovers(m_controller, m_rewrite, this);
    m_popovers->setRewriteButton(m_canvas->titleBar()->rewriteButton());
    m_popovers->setBackgroundButton(m_canvas->titleBar()->backgroundButton());
    // The canvas's "AI labeled" badge follows the same model.
    auto followModel
        = [this] { m_controller->setModelAvailable(m_rewrite->status() == RewriteRun::Status::Available); };
    connect(m_rewrite, &RewriteRun::statusChanged, this, followModel);
    followModel();

    for (const QKeySequence& key : { QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::Key_Delete) }) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, &GuideEditorView::deleteKey);
    }
    connect(m_controller, &EditorController::sheetsChanged, this, &GuideEditorView::refreshSheets);
    connect(m_controller, &EditorController::alertsChanged, this, &GuideEditorView::refreshAlerts);
}

GuideEditorView::~GuideEditorView()
{
    // The panel's export run, the popovers and the alerts go before the controller they call.
    delete m_popovers;
    delete m_exportPanel;
    delete m_deleteAlert;
    delete m_fileErrorAlert;
    delete m_aiErrorAlert;
}

void GuideEditorView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_controller->list().appear();
    // Keys reach the list from the start: not the title field, which the focus
    // chain would otherwise hand its focus to.
    if (!m_appeared)
        m_sidebar->list()->setFocus(Qt::OtherFocusReason);
    m_appeared = true;
}

void GuideEditorView::deleteKey()
{
    // A sheet over the editor, or a field that edits text, has the key.
    if (m_exportPanel || editsText(QApplication::focusWidget()))
        return;
    m_controller->list().requestDeleteSelection();
}

void GuideEditorView::refreshSheets()
{
    const SheetState& sheets = m_controller->state().sheets;
    if (sheets.exportPanel && !m_exportPanel) {
        Guide* guide = m_controller->guide();
        QPointer<EditorController> controller(m_controller);
        auto dismiss = [controller] {
            if (controller)
                controller->dismissExportPanel();
        };
        m_exportPanel = m_dependencies.makeExportPanel
            ? m_dependencies.makeExportPanel(guide, dismiss, this)
            : new ExportPanel(guide, dismiss, *m_dependencies.settings, *m_dependencies.storage, this);
        m_exportPanel->setGeometry(rect());
        m_exportPanel->show();
        m_exportPanel->raise();
        m_exportPanel->setFocus(Qt::OtherFocusReason);
        SheetTransition::enter(m_exportPanel);
    } else if (!sheets.exportPanel && m_exportPanel) {
        SheetTransition::leaveAndDelete(m_exportPanel);
        m_exportPanel = nullptr;
        m_sidebar->list()->setFocus(Qt::OtherFocusReason);
    }

    if (sheets.pendingDelete && !m_deleteAlert) {
        const qsizetype count = sheets.pendingDelete->size();
        auto* alert = new ConfirmDialog(editor_texts::deleteAlertTitle(count), editor_texts::deleteAlertMessage(count),
            QStringLiteral("Delete"), ConfirmDialog::Default::Confirm, this);
        alert->setObjectName(QStringLiteral("deleteStepsAlert"));
        alert->setAttribute(Qt::WA_DeleteOnClose);
        alert->confirmButton()->setObjectName(QStringLiteral("confirmDeleteButton"));
        alert->cancelButton()->setObjectName(QStringLiteral("cancelDeleteButton"));
        QPointer<EditorController> controller(m_controller);
        connect(alert, &QDialog::finished, this, [controller](int result) {
            if (!controller)
                return;
            if (result == QDialog::Accepted)
                controller->list().confirmDelete();
            else
                controller->list().cancelDelete();
        });
        m_deleteAlert = alert;
        alert->open();
    } else if (!sheets.pendingDelete && m_deleteAlert) {
        m_deleteAlert->close();
    }
}

QMessageBox* GuideEditorView::openFailureAlert(const QString& title, const QString& text, std::function<void()> clear)
{
    auto* alert = new QMessageBox(this);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setIcon(QMessageBox::Warning);
    alert->setWindowTitle(title);
    alert->setText(title);
    alert->setInformativeText(text);
    QPushButton* ok = alert->addButton(QStringLiteral("OK"), QMessageBox::RejectRole);
    alert->setDefaultButton(ok);
    alert->setEscapeButton(ok);
    connect(alert, &QMessageBox::finished, this, std::move(clear));
    alert->open();
    return alert;
}

void GuideEditorView::refreshAlerts()
{
    const AlertState& alerts = m_controller->state().alerts;
    QPointer<EditorController> controller(m_controller);
    if (alerts.fileOpError && !m_fileErrorAlert) {
        m_fileErrorAlert = openFailureAlert(QStringLiteral("Something went wrong"), *alerts.fileOpError, [controller] {
            if (controller)
                controller->clearFileError();
        });
        m_fileErrorAlert->setObjectName(QStringLiteral("fileErrorAlert"));
    } else if (!alerts.fileOpError && m_fileErrorAlert) {
        m_fileErrorAlert->close();
    }
    if (alerts.aiError && !m_aiErrorAlert) {
        m_aiErrorAlert = openFailureAlert(QStringLiteral("On-device AI"), *alerts.aiError, [controller] {
            if (controller)
                controller->clearAiError();
        });
        m_aiErrorAlert->setObjectName(QStringLiteral("aiErrorAlert"));
    } else if (!alerts.aiError && m_aiErrorAlert) {
        m_aiErrorAlert->close();
    }
}

} // namespace zova
