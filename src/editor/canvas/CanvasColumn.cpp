#include "editor/canvas/CanvasColumn.h"

#include "editor/EditorController.h"
#include "editor/canvas/CanvasRedaction.h"
#include "editor/canvas/CanvasTitleBar.h"
#include "editor/canvas/DescriptionCard.h"
#include "editor/canvas/EmptyStateView.h"
#include "editor/canvas/ScreenshotView.h"
#include "editor/crop/CropOverlayView.h"
#include "editor/marks/AnnotationToolbar.h"
#include "editor/marks/AnnotationsLayer.h"
#include "model/Step.h"
#include "model/VideoBackground.h"
#include "style/TextLine.h"

#include <QStackedLayout>
#include <QVBoxLayout>

namespace zova {

CanvasColumn::CanvasColumn(EditorController* controller, PermissionsService* permissions, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("canvasColumn"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_titleBar = new CanvasTitleBar(controller, this);
    m_toolbar = new AnnotationToolbar(controller);
    m_titleBar->setToolbar(m_toolbar);
    column->addWidget(m_titleBar);

    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("canvasArea"));
    m_stack = new QStackedLayout(area);
    column->addWidget(area, 1);

    m_cropPage = new QWidget(area);
    m_cropPage->setObjectName(QStringLiteral("cropPage"));
    auto* cropLayout = new QVBoxLayout(m_cropPage);
    cropLayout->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_cropPage);

    m_stepPage = new QWidget(area);
    m_stepPage->setObjectName(QStringLiteral("focusedStepPage"));
    auto* stepLayout = new QVBoxLayout(m_stepPage);
    // 20 around the content; the screenshot view keeps its shadow margin inside.
    const int m = 20 - ScreenshotView::shadowMargin;
    stepLayout->setContentsMargins(m, m, m, 20);
    stepLayout->setSpacing(14 - ScreenshotView::shadowMargin);
    m_screenshot = new ScreenshotView(m_stepPage);
    m_layer = new AnnotationsLayer(controller);
    m_screenshot->setLayer(m_layer);
    stepLayout->addWidget(m_screenshot, 1);
    m_description = new DescriptionCard(controller, m_stepPage);
    auto* descriptionRow = new QHBoxLayout;
    descriptionRow->setContentsMargins(ScreenshotView::shadowMargin, 0, ScreenshotView::shadowMargin, 0);
    descriptionRow->addWidget(m_description);
    stepLayout->addLayout(descriptionRow);
    m_stack->addWidget(m_stepPage);

    m_empty = new EmptyStateView(controller, permissions, area);
    m_stack->addWidget(m_empty);

    connect(m_screenshot, &ScreenshotView::hotspotDragged, &controller->canvas(), &StepCanvasController::dragHotspot);
    connect(
        m_screenshot, &ScreenshotView::hotspotReleased, &controller->canvas(), &StepCanvasController::endHotspotDrag);
    connect(controller, &EditorController::selectionChanged, this, &CanvasColumn::refresh);
    connect(controller, &EditorController::stepsChanged, this, &CanvasColumn::refresh);
    connect(controller, &EditorController::sheetsChanged, this, &CanvasColumn::refresh);
    connect(controller, &EditorController::canvasChanged, this, &CanvasColumn::refresh);
    m_makeOverlay = cropOverlayFactory(controller);
    refresh();
}

CanvasColumn::CropOverlayFactory CanvasColumn::cropOverlayFactory(EditorController* controller)
{
    QPointer<EditorController> editor = controller;
    return [editor](const QUuid& stepId, const QImage& image, QWidget* parent) -> QWidget* {
        auto* overlay = new CropOverlayView(image, true, parent);
        connect(overlay, &CropOverlayView::applied, overlay, [editor, stepId](const QRectF& rect) {
            if (!editor)
                return;
            // Cropping ends whatever the crop did.
            editor->canvas().applyCrop(stepId, rect);
            editor->canvas().endCropping();
        });
        connect(overlay, &CropOverlayView::cancelled, overlay, [editor] {
            if (editor)
                editor->canvas().endCropping();
        });
        connect(overlay, &CropOverlayView::imageEditorRequested, overlay, [editor] {
            if (!editor)
                return;
            editor->canvas().endCropping();
            editor->canvas().editInImageEditor();
        });
        return overlay;
    };
}

void CanvasColumn::setCropOverlayFactory(CropOverlayFactory factory)
{
    m_makeOverlay = factory ? std::move(factory) : cropOverlayFactory(m_controller);
    dropOverlay();
    refresh();
}

TextLine* CanvasColumn::titleLabel() const { return m_titleBar->titleLabel(); }

PillButton* CanvasColumn::exportButton() const { return m_titleBar->exportButton(); }

CanvasColumn::Content CanvasColumn::content() const
{
    QWidget* current = m_stack->currentWidget();
    if (current == m_cropPage)
        return Content::CropOverlay;
    return current == m_stepPage ? Content::Step : Content::Empty;
}

QImage CanvasColumn::imageFor(const QString& filename)
{
    if (filename != m_imageFile) {
        m_imageFile = filename;
        m_image = m_controller ? m_controller->files().load(filename) : QImage();
    }
    return m_image;
}

void CanvasColumn::showOverlay(
    const QUuid& stepId, const QString& filename, const QImage& image, const QList<StepAnnotation>& marks)
{
    if (m_overlay && m_overlayStep == stepId && m_overlayFile == filename)
        return;
    dropOverlay();
    // What the blur marks hide stays hidden while cropping too; the layer's
    // redaction serves when it is of this screenshot and these marks.
    m_layer->setScreenshot(image);
    m_overlay = m_makeOverlay(stepId, m_layer->redaction()->redactedFor(marks), m_cropPage);
    m_overlayStep = stepId;
    m_overlayFile = filename;
    if (m_overlay) {
        m_overlay->setObjectName(
            m_overlay->objectName().isEmpty() ? QStringLiteral("cropOverlay") : m_overlay->objectName());
        m_cropPage->layout()->addWidget(m_overlay);
        m_overlay->show();
        m_overlay->setFocus(Qt::OtherFocusReason);
    }
}

void CanvasColumn::dropOverlay()
{
    // Later: the overlay may be ending the crop from one of its own handlers.
    if (m_overlay) {
        m_overlay->hide();
        m_overlay->deleteLater();
    }
    m_overlay = nullptr;
    m_overlayStep = QUuid();
    m_overlayFile.clear();
}

void CanvasColumn::refresh()
{
    if (!m_controller)
        return;
    const Step* focused = m_controller->focusedStep();
    const EditorState& state = m_controller->state();
    if (state.sheets.cropping && focused) {
        const QImage image = imageFor(focused->screenshotFilename());
        if (!image.isNull()) {
            showOverlay(focused->id(), focused->screenshotFilename(), image, focused->annotations());
            m_stack->setCurrentWidget(m_cropPage);
            return;
        }
    }
    dropOverlay();
    if (!focused) {
        m_layer->setStep(std::nullopt);
        m_stack->setCurrentWidget(m_empty);
        return;
    }
    const QImage image = imageFor(focused->screenshotFilename());
    m_screenshot->setImage(image);
    m_layer->setStep(focused->id());
    m_layer->setScreenshot(image);
    m_screenshot->setBackdrop(video_background::color(video_background::effectiveHex(*focused)));
    m_screenshot->setHotspot(state.pendingClick.value_or(QPointF(focused->clickX(), focused->clickY())));
    m_description->setStep(focused);
    m_stack->setCurrentWidget(m_stepPage);
}

} // namespace zova
