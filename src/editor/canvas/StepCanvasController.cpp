#include "editor/canvas/StepCanvasController.h"

#include "editor/EditorController.h"
#include "editor/EditorLog.h"
#include "editor/canvas/CanvasFit.h"
#include "editor/crop/StepCrop.h"
#include "editor/files/StepImages.h"
#include "editor/list/StepListController.h"
#include "model/Guide.h"
#include "model/HexColor.h"
#include "model/ModelContext.h"
#include "model/Step.h"

namespace zova {

namespace {

// Logs a chosen file that gave no image; the alert's text, when it gets one.
std::optional<QString> refused(step_images::Change change, ImageReadError error)
{
    qCInfo(lcEditor) << "chosen file gives no image:" << describe(error);
    return step_images::refusalText(change, error);
}

} // namespace

StepCanvasController::StepCanvasController(EditorController& editor)
    : QObject(&editor)
    , m_editor(editor)
{
}

void StepCanvasController::dragHotspot(QPointF translation, QSizeF displayed)
{
    const Step* s = m_editor.focusedStep();
    if (!s)
        return;
    if (auto pending = canvas_fit::draggedHotspot(QPointF(s->clickX(), s->clickY()), translation, displayed))
        m_editor.setPendingClick(pending);
}

void StepCanvasController::endHotspotDrag()
{
    const std::optional<QPointF> pending = m_editor.state().pendingClick;
    // Written before the pending hotspot goes, so the marker never shows the old place.
    if (Step* s = m_editor.focusedStep(); s && pending) {
        s->setClickX(pending->x());
        s->setClickY(pending->y());
    }
    m_editor.setPendingClick(std::nullopt);
}

QString StepCanvasController::descriptionText(const Step& step)
{
    if (const auto description = step.userDescription())
        return *description;
    return step.ocrLabel().value_or(QString());
}

void StepCanvasController::setDescription(const QUuid& id, const QString& text)
{
    if (Step* s = m_editor.step(id))
        s->setUserDescription(text);
}

void StepCanvasController::chooseTool(StepAnnotation::Kind kind)
{
    setActiveTool(m_editor.state().activeTool == kind ? std::nullopt : std::optional(kind));
}

void StepCanvasController::setActiveTool(std::optional<StepAnnotation::Kind> tool) { m_editor.setActiveTool(tool); }

void StepCanvasController::setMarks(const QUuid& stepId, const QList<StepAnnotation>& marks)
{
    if (Step* s = m_editor.step(stepId))
        s->setAnnotations(marks);
}

void StepCanvasController::requestCrop()
{
    const Step* s = m_editor.focusedStep();
    if (!s || m_editor.files().load(s->screenshotFilename()).isNull()) {
        qCInfo(lcEditor) << "no crop: the screenshot cannot be read";
        return;
    }
    m_editor.setSheet(&SheetState::cropping, true);
}

void StepCanvasController::cropStep(const QUuid& id)
{
    if (!m_editor.step(id))
        return;
    m_editor.list().selectOnly(id);
    requestCrop();
}

void StepCanvasController::endCropping() { m_editor.setSheet(&SheetState::cropping, false); }

void StepCanvasController::applyCrop(const QUuid& stepId, const QRectF& rect)
{
    Step* s = m_editor.step(stepId);
    if (!s || !m_editor.context())
        return;
    QPointer<ModelContext> context = m_editor.context();
    const auto cropped = step_crop::apply(*s, rect, m_editor.files(), [context]() -> Expected<void, StoreError> {
        if (!context)
            return unexpected(StoreError { StoreError::Code::WriteFailed, {} });
        return context->save();
    });
    if (!cropped) {
        qCWarning(lcEditor) << "crop not kept:" << cropped.error().reason;
        m_editor.reportFileError(cropped.error().message());
    }
}

void StepCanvasController::pickBackground(const QUuid& id, const QColor& color)
{
    if (Step* s = m_editor.step(id); s && color.isValid())
        s->setVideoBackgroundHex(hexString(color));
}

void StepCanvasController::applyBackgroundToAllSteps(const QString& hex)
{
    Guide* g = m_editor.guide();
    if (!g)
        return;
    g->setVideoBackgroundHex(hex);
    for (Step* s : g->steps())
        s->setVideoBackgroundHex(std::nullopt);
    m_editor.save();
}

void StepCanvasController::resetBackground(const QUuid& id)
{
    Step* s = m_editor.step(id);
    if (!s)
        return;
    s->setVideoBackgroundHex(std::nullopt);
    m_editor.save();
}

void StepCanvasController::addStepFromImageFile()
{
    m_editor.setAddStepMenu(false);
    const auto& choose = m_editor.hooks().chooseImageFile;
    if (!m_editor.guide() || !m_editor.context() || !choose)
        return;
    const std::optional<QString> path = choose();
    if (!path)
        return;
    image_file::readInBackground(*path, this, [this](const image_file::ReadResult& image) { addChosen(image); });
}

void StepCanvasController::addChosen(const image_file::ReadResult& image)
{
    // The guide may have gone while the file was chosen and read.
    Guide* g = m_editor.guide();
    ModelContext* context = m_editor.context();
    if (!g || !context)
        return;
    if (!image) {
        if (const std::optional<QString> text = refused(step_images::Change::Add, image.error()))
            m_editor.reportFileError(*text);
        return;
    }
    auto added = step_images::addStep(*g, *context, m_editor.files(), image.value());
    if (!added) {
        m_editor.reportFileError(added.error());
        return;
    }
    m_editor.list().selectOnly(added.value()->id());
}

void StepCanvasController::replaceScreenshot(const QUuid& id)
{
    const auto& choose = m_editor.hooks().chooseImageFile;
    if (!m_editor.step(id) || !m_editor.context() || !choose)
        return;
    const std::optional<QString> path = choose();
    if (!path)
        return;
    image_file::readInBackground(
        *path, this, [this, id](const image_file::ReadResult& image) { replaceWithChosen(id, image); });
}

void StepCanvasController::replaceWithChosen(const QUuid& id, const image_file::ReadResult& image)
{
    // The step may have gone while the file was chosen and read.
    Step* s = m_editor.step(id);
    ModelContext* context = m_editor.context();
    if (!s || !context)
        return;
    if (!image) {
        if (const std::optional<QString> text = refused(step_images::Change::Replace, image.error()))
            m_editor.reportFileError(*text);
        return;
    }
    if (const std::optional<QString> failed
        = step_images::replaceScreenshot(*s, *context, m_editor.files(), image.value()))
        m_editor.reportFileError(*failed);
}

void StepCanvasController::editInImageEditor()
{
    const Step* s = m_editor.focusedStep();
    if (!s)
        return;
    const std::optional<QString> path = m_editor.files().path(s->screenshotFilename());
    if (!path)
        return;
    const auto result = m_editor.hooks().imageEditor.open(s->id(), *path);
    if (result && result->error)
        m_editor.reportFileError(*result->error);
}

} // namespace zova
