#include "editor/EditorController.h"

#include "base/NotifyingProperty.h"

#include "editor/EditorLog.h"
#include "editor/canvas/StepCanvasController.h"
#include "editor/list/StepListController.h"
#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/Step.h"

#include <QTimer>

namespace zova {

EditorController::EditorController(Guide* guide, ModelContext* context, Hooks hooks, QObject* parent)
    : QObject(parent)
    , m_guide(guide)
    , m_context(context)
    , m_hooks(std::move(hooks))
    , m_stepsSignal(new QTimer(this))
{
    m_hooks.files = m_hooks.files.orElse(ScreenshotFiles::none());
    m_list = new StepListController(*this);
    m_canvas = new StepCanvasController(*this);
    // Many record changes in one turn of the event loop reach the widgets once.
    m_stepsSignal->setSingleShot(true);
    m_stepsSignal->setInterval(0);
    connect(m_stepsSignal, &QTimer::timeout, this, [this] {
        // Steps deleted elsewhere leave the selection.
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

EditorController::~EditorController()
{
    // The halves go while the state they work on is still here.
    delete m_canvas;
    delete m_list;
}

Guide* EditorController::guide() const { return m_guide && !m_guide->isDeleted() ? m_guide.data() : nullptr; }

ModelContext* EditorController::context() const { return m_context; }

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

void EditorController::watchSteps()
{
    if (Guide* g = guide())
        for (Step* s : g->steps())
            connect(s, &Record::changed, this, &EditorController::stepsDidChange, Qt::UniqueConnection);
    stepsDidChange();
}

void EditorController::stepsDidChange() { m_stepsSignal->start(); }

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

void EditorController::setPendingClick(std::optional<QPointF> pending)
{
    setNotifying(this, m_state.pendingClick, pending, &EditorController::canvasChanged);
}

void EditorController::setActiveTool(std::optional<StepAnnotation::Kind> tool)
{
    setNotifying(this, m_state.activeTool, tool, &EditorController::toolChanged);
}

void EditorController::save()
{
    if (!m_context)
        return;
    if (auto saved = m_context->save(); !saved)
        qCWarning(lcEditor) << "not saved:" << saved.error().description();
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

void EditorController::setAddStepMenu(bool open) { setSheet(&SheetState::addStepMenu, open); }

void EditorController::toggleAddStepMenu() { setAddStepMenu(!m_state.sheets.addStepMenu); }

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

void EditorController::setModelAvailable(bool available)
{
    setNotifying(this, m_state.modelAvailable, available, &EditorController::canvasChanged);
}

void EditorController::setAlertText(std::optional<QString> AlertState::*alert, std::optional<QString> text)
{
    AlertState alerts = m_state.alerts;
    alerts.*alert = std::move(text);
    setNotifying(this, m_state.alerts, alerts, &EditorController::alertsChanged);
}

void EditorController::reportFileError(const QString& message) { setAlertText(&AlertState::fileOpError, message); }

void EditorController::clearFileError() { setAlertText(&AlertState::fileOpError, std::nullopt); }

void EditorController::reportAiError(const QString& message) { setAlertText(&AlertState::aiError, message); }

void EditorController::clearAiError() { setAlertText(&AlertState::aiError, std::nullopt); }

} // namespace zova
