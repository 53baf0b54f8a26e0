#pragma once

#include "editor/EditorState.h"
#include "editor/list/SelectionRules.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUuid>

#include <optional>

namespace zova {

class EditorController;

// The step list's operations on its editor's state: selection, deletion,
// reordering by menu or drag, and the auto-scroll of a drag. GUI thread only.
class StepListController : public QObject {
    Q_OBJECT
public:
    // The auto-scroll pace while the pointer rests on an edge strip.
    static constexpr int autoScrollIntervalMs = 120;

    // A child of `editor`, which it serves for its whole life.
    explicit StepListController(EditorController& editor);

    // The editor came on screen: focuses and selects the first step unless one is focused.
    void appear();

    // A click on a row.
    void clickRow(const QUuid& id, selection::Click kind);
    // Only `id`, selected and focused (a step the canvas just made or works on).
    void selectOnly(const QUuid& id);

    // Deletion always asks first. The keyboard and the footer ask about the
    // selection (nothing happens when it is empty); the row's menu about one step.
    void requestDeleteSelection();
    void requestDeleteStep(const QUuid& id);
    void confirmDelete();
    void cancelDelete();
    // Removes the steps and their records, renumbers the rest 0..n-1, saves, then
    // removes the screenshot files (at a later save when this one fails) and the
    // image editor's copies of them. Empties the selection and focuses the step
    // before the first deleted one.
    void performDelete(const QSet<QUuid>& ids);

    // Moves a step into gap 0..n; false (and nothing written) for an unknown step,
    // a gap out of range, or the step's own gaps. Only changed orders are written.
    bool moveStep(const QUuid& id, int gap);
    // The "Move to Step" entry: lands the step at `position` of the ordered list.
    bool moveToPosition(const QUuid& id, int position);

    // Drag reordering. The drag ends through endDrag() however it ends.
    void beginDrag(const QUuid& id);
    // A gap or row half became the drop target.
    void enterDropGap(int gap);
    // The drag left gap `gap`; ignored when another gap is the target already.
    void leaveDropGap(int gap);
    void setEdgeHover(ScrollDirection direction, bool hovering);
    // A drop on gap `gap` (none for an edge strip) of a payload: clears the drag
    // state, then moves. False when nothing moved.
    bool drop(const QByteArray& payload, std::optional<int> gap);
    void endDrag();
    // One auto-scroll step: moves lastActiveIndex one gap toward the hovered edge
    // and asks the list to show it. The timer calls it while an edge is hovered.
    void autoScrollTick();
    bool autoScrolling() const { return m_autoScroll.isActive(); }

private:
    QList<StepKey> keys() const;
    void removeFilesWhenSaved(const QStringList& files);

    EditorController& m_editor;
    QTimer m_autoScroll;
};

} // namespace zova
