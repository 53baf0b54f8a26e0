#pragma once

#include "model/StepAnnotation.h"

#include <QImage>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

class QStackedLayout;

namespace zova {

class AnnotationsLayer;
class AnnotationToolbar;
class CanvasTitleBar;
class DescriptionCard;
class EditorController;
class EmptyStateView;
class PermissionsService;
class PillButton;
class ScreenshotView;
class TextLine;

// The editor's right column: the title bar (with the annotation tools) over one
// of three things. While cropping, the crop overlay for the focused step's
// screenshot; otherwise the focused step (its fitted screenshot with the
// annotation layer and the marker, then its description); without steps, the
// empty state.
class CanvasColumn : public QWidget {
    Q_OBJECT
public:
    // Builds the crop overlay for a step's screenshot (its blur marks redacted),
    // once each time cropping starts. The overlay ends cropping through the controller; it is deleted
    // when cropping ends.
    using CropOverlayFactory = std::function<QWidget*(const QUuid& stepId, const QImage& image, QWidget* parent)>;

    enum class Content { CropOverlay, Step, Empty };

    CanvasColumn(EditorController* controller, PermissionsService* permissions, QWidget* parent = nullptr);

    // The editor's own: a CropOverlayView whose Apply crops the step and ends
    // cropping, whose Cancel ends it, and whose image-editor button ends it and
    // hands the screenshot to the image editor.
    static CropOverlayFactory cropOverlayFactory(EditorController* controller);
    // An empty factory puts the editor's own back.
    void setCropOverlayFactory(CropOverlayFactory factory);

    Content content() const;
    CanvasTitleBar* titleBar() const { return m_titleBar; }
    TextLine* titleLabel() const;
    PillButton* exportButton() const;
    ScreenshotView* screenshot() const { return m_screenshot; }
    AnnotationsLayer* annotationsLayer() const { return m_layer; }
    AnnotationToolbar* annotationToolbar() const { return m_toolbar; }
    DescriptionCard* description() const { return m_description; }
    EmptyStateView* emptyState() const { return m_empty; }
    // The overlay while cropping, else null.
    QWidget* cropOverlay() const { return m_overlay; }

private:
    void refresh();
    // The focused step's screenshot, read again only when its file name changes.
    QImage imageFor(const QString& filename);
    void showOverlay(
        const QUuid& stepId, const QString& filename, const QImage& image, const QList<StepAnnotation>& marks);
    void dropOverlay();

    QPointer<EditorController> m_controller;
    CanvasTitleBar* m_titleBar = nullptr;
    QStackedLayout* m_stack = nullptr;
    QWidget* m_cropPage = nullptr;
    QWidget* m_stepPage = nullptr;
    ScreenshotView* m_screenshot = nullptr;
    AnnotationsLayer* m_layer = nullptr;
    AnnotationToolbar* m_toolbar = nullptr;
    DescriptionCard* m_description = nullptr;
    EmptyStateView* m_empty = nullptr;
    CropOverlayFactory m_makeOverlay;
    QPointer<QWidget> m_overlay;
    QUuid m_overlayStep;
    QString m_overlayFile;
    QString m_imageFile;
    QImage m_image;
};

} // namespace zova
