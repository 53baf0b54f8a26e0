#include "editor/list/StepListController.h"

#include "editor/EditorController.h"
#include "editor/EditorLog.h"
#include "editor/list/StepDragPayload.h"
#include "editor/list/StepListLayout.h"
#include "editor/list/StepOrder.h"
#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/Step.h"

#include <memory>

namespace zova {

StepListController::StepListController(EditorController& editor)
    : QObject(&editor)
    , m_editor(editor)
{
    m_autoScroll.setInterval(autoScrollIntervalMs);
    connect(&m_autoScroll, &QTimer::timeout, this, &StepListController::autoScrollTick);
}

QList<StepKey> StepListController::keys() const
{
    QList<StepKey> out;
    for (const Step* s : m_editor.orderedSteps())
        out.append({ s->id(), s->order() });
    return out;
}

void StepListController::appear()
{
    m_editor.m_appeared = true;
    m_editor.setSelection(selection::onAppear(m_editor.state().selection, keys()));
}

void StepListController::clickRow(const QUuid& id, selection::Click kind)
{
    if (!m_editor.step(id))
        return;
    m_editor.setSelection(selection::applyClick(m_editor.state().selection, keys(), id, kind));
}

void StepListController::selectOnly(const QUuid& id)
{
    if (m_editor.step(id))
        m_editor.setSelection(Selection { { id }, id });
}

void StepListController::requestDeleteSelection()
{
    QSet<QUuid> ids;
    for (const QUuid& id : m_editor.state().selection.selected)
        if (m_editor.step(id))
            ids.insert(id);
    if (ids.isEmpty())
        return;
    m_editor.setSheet(&SheetState::pendingDelete, ids);
}

void StepListController::requestDeleteStep(const QUuid& id)
{
    if (!m_editor.step(id))
        return;
    m_editor.setSheet(&SheetState::pendingDelete, QSet<QUuid> { id });
}

void StepListController::confirmDelete()
{
    const std::optional<QSet<QUuid>> pending = m_editor.state().sheets.pendingDelete;
    cancelDelete();
    if (pending)
        performDelete(*pending);
}

void StepListController::cancelDelete() { m_editor.setSheet(&SheetState::pendingDelete, std::nullopt); }

void StepListController::performDelete(const QSet<QUuid>& ids)
{
    Guide* g = m_editor.guide();
    ModelContext* context = m_editor.context();
    if (!g || !context)
        return;
    const QList<Step*> before = g->orderedSteps();
    QList<Step*> doomed;
    QSet<QUuid> doomedIds;
    int firstPosition = int(before.size());
    for (int i = 0; i < before.size(); ++i) {
        if (ids.contains(before[i]->id())) {
            doomed.append(before[i]);
            doomedIds.insert(before[i]->id());
            firstPosition = std::min(firstPosition, i);
        }
    }
    if (doomed.isEmpty())
        return;
    QStringList files;
    for (Step* s : doomed) {
        if (!s->screenshotFilename().isEmpty())
            files << s->screenshotFilename();
        context->remove(s);
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
    if (context->save()) {
        for (const QString& name : files)
            m_editor.files().remove(name);
    } else {
        qCWarning(lcEditor) << "deletion not saved yet; its screenshots go at the next save";
        removeFilesWhenSaved(files);
    }
    m_editor.hooks().imageEditor.removeCopiesOf(doomedIds);
    m_editor.setSelection(Selection { {}, selection::focusAfterDeletion(remainingIds, firstPosition) });
}

void StepListController::removeFilesWhenSaved(const QStringList& files)
{
    ModelContext* context = m_editor.context();
    if (files.isEmpty() || !context)
        return;
    // Not tied to this editor: the files go at the next save even after it closed.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection
        = connect(context, &ModelContext::didSave, context, [connection, files, remove = m_editor.files().remove] {
              QObject::disconnect(*connection);
              for (const QString& name : files)
                  remove(name);
          });
}

bool StepListController::moveStep(const QUuid& id, int gap)
{
    const QList<Step*> ordered = m_editor.orderedSteps();
    const int from = m_editor.positionOf(id);
    QList<qint64> orders;
    for (const Step* s : ordered)
        orders.append(s->order());
    const std::optional<step_order::Move> move = step_order::planMove(orders, from, gap);
    if (!move)
        return false;
    for (const step_order::Write& w : move->writes)
        ordered[w.position]->setOrder(w.order);
    m_editor.save();
    return true;
}

bool StepListController::moveToPosition(const QUuid& id, int position)
{
    const int from = m_editor.positionOf(id);
    if (from < 0)
        return false;
    return moveStep(id, step_order::gapForPosition(from, position));
}

void StepListController::beginDrag(const QUuid& id)
{
    DragState drag = m_editor.state().drag;
    drag.dragging = id;
    drag.dropGap.reset();
    if (const int position = m_editor.positionOf(id); position >= 0)
        drag.lastActiveIndex = position;
    m_editor.setDrag(drag);
}

void StepListController::enterDropGap(int gap)
{
    if (!m_editor.state().drag.dragging)
        return;
    DragState drag = m_editor.state().drag;
    drag.dropGap = gap;
    drag.lastActiveIndex = gap;
    m_editor.setDrag(drag);
}

void StepListController::leaveDropGap(int gap)
{
    if (m_editor.state().drag.dropGap != gap)
        return;
    DragState drag = m_editor.state().drag;
    drag.dropGap.reset();
    m_editor.setDrag(drag);
}

void StepListController::setEdgeHover(ScrollDirection direction, bool hovering)
{
    if (hovering && !m_editor.state().drag.dragging)
        return;
    DragState drag = m_editor.state().drag;
    (direction == ScrollDirection::Up ? drag.hoverTop : drag.hoverBottom) = hovering;
    m_editor.setDrag(drag);
    // One timer, whatever the number of enters and leaves: it stops at its first
    // tick without a hovered edge, so a quick leave and re-enter goes on at its pace.
    if (hovering && !m_autoScroll.isActive()) {
        autoScrollTick();
        m_autoScroll.start();
    }
}

void StepListController::autoScrollTick()
{
    const DragState& drag = m_editor.state().drag;
    if (!drag.hoverTop && !drag.hoverBottom) {
        m_autoScroll.stop();
        return;
    }
    const ScrollDirection direction = drag.hoverBottom ? ScrollDirection::Down : ScrollDirection::Up;
    const qsizetype count = m_editor.guide() ? m_editor.guide()->steps().size() : 0;
    const std::optional<int> next = step_list::autoScrollNext(direction, drag.lastActiveIndex, int(count));
    if (!next)
        return;
    DragState moved = drag;
    moved.lastActiveIndex = *next;
    m_editor.setDrag(moved);
    emit m_editor.autoScrollRequested(*next, direction);
}

bool StepListController::drop(const QByteArray& payload, std::optional<int> gap)
{
    endDrag();
    const std::optional<QUuid> id = step_drag::decode(payload);
    if (!id || !gap)
        return false;
    return moveStep(*id, *gap);
}

void StepListController::endDrag()
{
    DragState drag = m_editor.state().drag;
    drag.dragging.reset();
    drag.dropGap.reset();
    drag.hoverTop = false;
    drag.hoverBottom = false;
    m_autoScroll.stop();
    m_editor.setDrag(drag);
}

} // namespace zova
