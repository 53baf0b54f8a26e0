#include "editor/EditorController.h"

#include "base/NotifyingProperty.h"

#include "editor/EditorLog.h"
#include "editor/canvas/CanvasFit.h"
#include "editor/canvas/StepImages.h"
#include "editor/crop/StepCrop.h"
#include "editor/list/StepDragPayload.h"
#include "editor/list/StepListLayout.h"
#include "editor/list/StepOrder.h"
#include "model/Guide.h"
#include "model/HexColor.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"

#include <memory>

namespace zova {

EditorController::EditorController(Guide* guide, ModelContext* context, Hooks hooks, QObject* parent)
    : QObject(parent)
    , m_guide(guide)
    , m_context(context)
    , m_hooks(std::move(hooks))
{
    m_hooks.files = m_hooks.files.orShared();
    m_autoScroll.setInterval(autoScrollIntervalMs);
    connect(&m_autoScroll, &QTimer::timeout, this, &EditorController::autoScrollTick);
    // Many record changes in one turn of the event loop reach the widgets once.
    m_stepsSignal.setSingleShot(true);
    m_stepsSignal.setInterval(0);
    connect(&m_stepsSignal, &QTimer::timeout, this, [this] {
        // Steps deleted elsewhere leave the selection and the drag.
        Selection kept = m_state.selection;
        kept.selected.removeIf([this](const QUuid& id) { return !step(id); });
        setSelection(kept);
        emit stepsChanged();
    });
    if (guide) {
        m_state.titleDraft = guide->title();
        connect(guide, &Guide::stepsChanged, this, &EditorController::watchSteps);
        connect(guide, &Guide::titleChanged, this, &EditorController::titleChanged);
        // Every step without a colour of its own shows the guide's.
        connect(guide, &Guide::videoBackgroundHexChanged, this, &EditorController::stepsDidChange);
        watchSteps();
    }
}

EditorController::~EditorController() = default;

Guide* EditorController::guide() const { return m_guide && !m_guide->isDeleted() ? m_guide.data() : nullptr; }

QList<Step*> EditorController::orderedSteps() const
{
    Guide* g = guide();
    return g ? g->orderedSteps() : QList<Step*> {};
}

Step* EditorController::step(const QUuid& id) const
{
    if (Guide* g = guide())
        for (Step* s : g->steps())
            if (s->id() == id)
                return s;
    return nullptr;
}

Step* EditorController::focusedStep() const
{
    return m_state.selection.focused ? step(*m_state.selection.focused) : nullptr;
}

qsizetype EditorController::selectedCount() const
{
    qsizetype count = 0;
    for (const QUuid& id : m_state.selection.selected)
        if (step(id))
            ++count;
    return count;
}

int EditorController::positionOf(const QUuid& id) const
{
    const QList<Step*> ordered = orderedSteps();
    for (int i = 0; i < ordered.size(); ++i)
        if (ordered[i]->id() == id)
            return i;
    return -1;
}

QList<StepKey> EditorController::keys() const
{
    QList<StepKey> out;
    for (const Step* s : orderedSteps())
        out.append({ s->id(), s->order() });
    return out;
}

void EditorController::watchSteps()
{
    if (Guide* g = guide())
        for (Step* s : g->steps())
            connect(s, &Record::changed, this, &EditorController::stepsDidChange, Qt::UniqueConnection);
    stepsDidChange();
}

void EditorController::stepsDidChange() { m_stepsSignal.start(); }

Selection EditorController::withFocus(Selection selection) const
{
    if (!m_appeared || (selection.focused && step(*selection.focused)))
        return selection;
    const QList<Step*> ordered = orderedSteps();
    if (!ordered.isEmpty())
        selection.focused = ordered.first()->id();
    return selection;
}

void EditorController::setSelection(const Selection& selection)
{
    const std::optional<QUuid> focused = m_state.selection.focused;
    if (!setNotifying(this, m_state.selection, withFocus(selection), &EditorController::selectionChanged))
        return;
    // A drag of the marker belongs to the step it started on.
    if (m_state.selection.focused != focused)
        setPendingClick(std::nullopt);
}

void EditorController::setDrag(const DragState& drag)
{
    setNotifying(this, m_state.drag, drag, &EditorController::dragChanged);
}

void EditorController::setSheets(const SheetState& sheets)
{
    setNotifying(this, m_state.sheets, sheets, &EditorController::sheetsChanged);
}

void EditorController::setAlerts(const AlertState& alerts)
{
    setNotifying(this, m_state.alerts, alerts, &EditorController::alertsChanged);
}

void EditorController::save()
{
    if (!m_context)
        return;
    if (auto saved = m_context->save(); !saved)
        qCWarning(lcEditor) << "not saved:" << saved.error().description();
}

void EditorController::appear()
{
    m_appeared = true;
    setSelection(selection::onAppear(m_state.selection, keys()));
}

void EditorController::clickRow(const QUuid& id, selection::Click kind)
{
    if (!step(id))
        return;
    setSelection(selection::applyClick(m_state.selection, keys(), id, kind));
}

void EditorController::requestDeleteSelection()
{
    QSet<QUuid> ids;
    for (const QUuid& id : m_state.selection.selected)
        if (step(id))
            ids.insert(id);
    if (ids.isEmpty())
        return;
    setSheet(&SheetState::pendingDelete, ids);
}

void EditorController::requestDeleteStep(const QUuid& id)
{
    if (!step(id))
        return;
    setSheet(&SheetState::pendingDelete, QSet<QUuid> { id });
}

void EditorController::confirmDelete()
{
    const std::optional<QSet<QUuid>> pending = m_state.sheets.pendingDelete;
    cancelDelete();
    if (pending)
        performDelete(*pending);
}

void EditorController::cancelDelete()
{
    SheetState sheets = m_state.sheets;
    sheets.pendingDelete.reset();
    setSheets(sheets);
}

void EditorController::performDelete(const QSet<QUuid>& ids)
{
    Guide* g = guide();
    if (!g || !m_context)
        return;
    const QList<Step*> before = g->orderedSteps();
    QList<Step*> doomed;
    int firstPosition = int(before.size());
    for (int i = 0; i < before.size(); ++i) {
        if (ids.contains(before[i]->id())) {
            doomed.append(before[i]);
            firstPosition = std::min(firstPosition, i);
        }
    }
    if (doomed.isEmpty())
        return;
    QStringList files;
    for (Step* s : doomed) {
        if (!s->screenshotFilename().isEmpty())
            files << s->screenshotFilename();
        m_context->remove(s);
    }
    const QList<Step*> remaining = g->orderedSteps();
    QList<qint64> orders;
    QList<QUuid> remainingIds;
    for (const Step* s : remaining) {
        orders.append(s->order());
        remainingIds.append(s->id());
    }
    for (const step_order::Write& w : step_order::densify(orders))
        remaining[w.position]->setOrder(w.order);
    const bool saved = m_context && m_context->save().hasValue();
    if (saved) {
        for (const QString& name : files)
            StorageService::shared().deleteScreenshot(name);
    } else {
        qCWarning(lcEditor) << "deletion not saved yet; its screenshots go at the next save";
        removeFilesWhenSaved(files);
    }
    setSelection(Selection { {}, selection::focusAfterDeletion(remainingIds, firstPosition) });
}

void EditorController::removeFilesWhenSaved(const QStringList& files)
{
    if (files.isEmpty() || !m_context)
        return;
    // Not tied to this editor: the files go at the next save even after it closed.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_context, &ModelContext::didSave, m_context, [connection, files] {
        QObject::disconnect(*connection);
        for (const QString& name : files)
            StorageService::shared().deleteScreenshot(name);
    });
}

bool EditorController::moveStep(const QUuid& id, int gap)
{
    const QList<Step*> ordered = orderedSteps();
    const int from = positionOf(id);
    QList<qint64> orders;
    for (const Step* s : ordered)
        orders.append(s->order());
    const std::optional<step_order::Move> move = step_order::planMove(orders, from, gap);
    if (!move)
        return false;
    for (const step_order::Write& w : move->writes)
        ordered[w.position]->setOrder(w.order);
    save();
    return true;
}

bool EditorController::moveToPosition(const QUuid& id, int position)
{
    const int from = positionOf(id);
    if (from < 0)
        return false;
    return moveStep(id, step_order::gapForPosition(from, position));
}

void EditorController::beginDrag(const QUuid& id)
{
    DragState drag = m_state.drag;
    drag.dragging = id;
    drag.dropGap.reset();
    if (const int position = positionOf(id); position >= 0)
        drag.lastActiveIndex = position;
    setDrag(drag);
}

void EditorController::enterDropGap(int gap)
{
    if (!m_state.drag.dragging)
        return;
    DragState drag = m_state.drag;
    drag.dropGap = gap;
    drag.lastActiveIndex = gap;
    setDrag(drag);
}

void EditorController::leaveDropGap(int gap)
{
    if (m_state.drag.dropGap != gap)
        return;
    DragState drag = m_state.drag;
    drag.dropGap.reset();
    setDrag(drag);
}

void EditorController::setEdgeHover(ScrollDirection direction, bool hovering)
{
    if (hovering && !m_state.drag.dragging)
        return;
    DragState drag = m_state.drag;
    (direction == ScrollDirection::Up ? drag.hoverTop : drag.hoverBottom) = hovering;
    setDrag(drag);
    // One timer, whatever the number of enters and leaves: it stops at its first
    // tick without a hovered edge, so a quick leave and re-enter goes on at its pace.
    if (hovering && !m_autoScroll.isActive()) {
        autoScrollTick();
        m_autoScroll.start();
    }
}

void EditorController::autoScrollTick()
{
    const DragState& drag = m_state.drag;
    if (!drag.hoverTop && !drag.hoverBottom) {
        m_autoScroll.stop();
        return;
    }
    const ScrollDirection direction = drag.hoverBottom ? ScrollDirection::Down : ScrollDirection::Up;
    const qsizetype count = guide() ? guide()->steps().size() : 0;
    const std::optional<int> next = step_list::autoScrollNext(direction, drag.lastActiveIndex, int(count));
    if (!next)
        return;
    DragState moved = drag;
    moved.lastActiveIndex = *next;
    setDrag(moved);
    emit autoScrollRequested(*next, direction);
}

bool EditorController::drop(const QByteArray& payload, std::optional<int> gap)
{
    endDrag();
    const std::optional<QUuid> id = step_drag::decode(payload);
    if (!id || !gap)
        return false;
    return moveStep(*id, *gap);
}

void EditorController::endDrag()
{
    DragState drag = m_state.drag;
    drag.dragging.reset();
    drag.dropGap.reset();
    drag.hoverTop = false;
    drag.hoverBottom = false;
    m_autoScroll.stop();
    setDrag(drag);
}

void EditorController::setTitleDraft(const QString& text)
{
    setNotifying(this, m_state.titleDraft, text, &EditorController::titleChanged);
}

void EditorController::syncTitleDraft(bool editing)
{
    if (!editing && guide())
        setTitleDraft(guide()->title());
}

void EditorController::commitTitle()
{
    Guide* g = guide();
    if (!g)
        return;
    const QString trimmed = m_state.titleDraft.trimmed();
    if (trimmed.isEmpty()) {
        setTitleDraft(g->title());
        return;
    }
    if (trimmed == g->title())
        return;
    g->setTitle(trimmed);
    save();
}

bool EditorController::canExport() const { return guide() && !guide()->steps().isEmpty(); }

void EditorController::openExportPanel()
{
    if (!canExport())
        return;
    setSheet(&SheetState::exportPanel, true);
}

void EditorController::dismissExportPanel() { setSheet(&SheetState::exportPanel, false); }

void EditorController::setSmartEditMenuOpen(bool open) { setSheet(&SheetState::smartEditMenu, open); }

void EditorController::setBackgroundPickerOpen(bool open) { setSheet(&SheetState::backgroundPicker, open); }

void EditorController::pickBackground(const QUuid& id, const QColor& color)
{
    if (Step* s = step(id); s && color.isValid())
        s->setVideoBackgroundHex(hexString(color));
}

void EditorController::applyBackgroundToAllSteps(const QString& hex)
{
    Guide* g = guide();
    if (!g)
        return;
    g->setVideoBackgroundHex(hex);
    for (Step* s : g->steps())
        s->setVideoBackgroundHex(std::nullopt);
    save();
}

void EditorController::resetBackground(const QUuid& id)
{
    Step* s = step(id);
    if (!s)
        return;
    s->setVideoBackgroundHex(std::nullopt);
    save();
}

void EditorController::requestAppendRecording()
{
    setAddStepMenu(false);
    if (Guide* g = guide(); g && m_hooks.appendRecording)
        m_hooks.appendRecording(g);
}

void EditorController::close()
{
    commitTitle();
    if (m_hooks.close)
        m_hooks.close();
}

void EditorController::chooseTool(StepAnnotation::Kind kind)
{
    setActiveTool(m_state.activeTool == kind ? std::nullopt : std::optional(kind));
}

void EditorController::setActiveTool(std::optional<StepAnnotation::Kind> tool)
{
    setNotifying(this, m_state.activeTool, tool, &EditorController::toolChanged);
}

void EditorController::setMarks(const QUuid& stepId, const QList<StepAnnotation>& marks)
{
    if (Step* s = step(stepId))
        s->setAnnotations(marks);
}

void EditorController::applyCrop(const QUuid& stepId, const QRectF& rect)
{
    Step* s = step(stepId);
    if (!s || !m_context)
        return;
    QPointer<ModelContext> context = m_context;
    const auto cropped = step_crop::apply(*s, rect, m_hooks.files, [context]() -> Expected<void, StoreError> {
        if (!context)
            return unexpected(StoreError { StoreError::Code::WriteFailed, {} });
        return context->save();
    });
    if (!cropped) {
        qCWarning(lcEditor) << "crop not kept:" << cropped.error().reason;
        reportFileError(cropped.error().message());
    }
}

void EditorController::setPendingClick(std::optional<QPointF> pending)
{
    setNotifying(this, m_state.pendingClick, pending, &EditorController::canvasChanged);
}

void EditorController::dragHotspot(QPointF translation, QSizeF displayed)
{
    const Step* s = focusedStep();
    if (!s)
        return;
    if (auto pending = canvas_fit::draggedHotspot(QPointF(s->clickX(), s->clickY()), translation, displayed))
        setPendingClick(pending);
}

void EditorController::endHotspotDrag()
{
    const std::optional<QPointF> pending = m_state.pendingClick;
    // Written before the pending hotspot goes, so the marker never shows the old place.
    if (Step* s = focusedStep(); s && pending) {
        s->setClickX(pending->x());
        s->setClickY(pending->y());
    }
    setPendingClick(std::nullopt);
}

QString EditorController::descriptionText(const Step& step)
{
    if (const auto description = step.userDescription())
        return *description;
    return step.ocrLabel().value_or(QString());
}

void EditorController::setDescription(const QUuid& id, const QString& text)
{
    if (Step* s = step(id))
        s->setUserDescription(text);
}

void EditorController::setModelAvailable(bool available)
{
    setNotifying(this, m_state.modelAvailable, available, &EditorController::canvasChanged);
}

void EditorController::requestCrop()
{
    const Step* s = focusedStep();
    if (!s || StorageService::shared().loadScreenshot(s->screenshotFilename()).isNull()) {
        qCInfo(lcEditor) << "no crop: the screenshot cannot be read";
        return;
    }
    setSheet(&SheetState::cropping, true);
}

void EditorController::cropStep(const QUuid& id)
{
    if (!step(id))
        return;
    setSelection(Selection { { id }, id });
    requestCrop();
}

void EditorController::endCropping() { setSheet(&SheetState::cropping, false); }

void EditorController::setAddStepMenu(bool open) { setSheet(&SheetState::addStepMenu, open); }

void EditorController::toggleAddStepMenu() { setAddStepMenu(!m_state.sheets.addStepMenu); }

void EditorController::addStepFromImageFile()
{
    setAddStepMenu(false);
    Guide* g = guide();
    if (!g || !m_context || !m_hooks.chooseImage)
        return;
    const std::optional<QImage> image = m_hooks.chooseImage();
    // The guide may have gone while the dialog was open.
    if (!image || image->isNull() || !(g = guide()) || !m_context)
        return;
    auto added = step_images::addStep(*g, *m_context, *image);
    if (!added) {
        reportFileError(added.error());
        return;
    }
    const QUuid id = added.value()->id();
    setSelection(Selection { { id }, id });
}

void EditorController::replaceScreenshot(const QUuid& id)
{
    if (!step(id) || !m_context || !m_hooks.chooseImage)
        return;
    const std::optional<QImage> image = m_hooks.chooseImage();
    Step* s = step(id);
    if (!image || image->isNull() || !s || !m_context)
        return;
    if (const std::optional<QString> failed = step_images::replaceScreenshot(*s, *m_context, *image))
        reportFileError(*failed);
}

void EditorController::editInImageEditor()
{
    const Step* s = focusedStep();
    if (!s)
        return;
    const std::optional<QString> path = StorageService::shared().pathFor(s->screenshotFilename());
    if (!path)
        return;
    const auto result = m_hooks.imageEditor.open(*path);
    if (result && result->error)
        reportFileError(*result->error);
}

void EditorController::setAlertText(std::optional<QString> AlertState::*alert, std::optional<QString> text)
{
    AlertState alerts = m_state.alerts;
    alerts.*alert = std::move(text);
    setAlerts(alerts);
}

void EditorController::reportFileError(const QString& message) { setAlertText(&AlertState::fileOpError, message); }

void EditorController::clearFileError() { setAlertText(&AlertState::fileOpError, std::nullopt); }

void EditorController::reportAiError(const QString& message) { setAlertText(&AlertState::aiError, message); }

void EditorController::clearAiError() { setAlertText(&AlertState::aiError, std::nullopt); }

} // namespace zova
