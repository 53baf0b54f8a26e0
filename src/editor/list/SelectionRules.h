#pragma once

#include "editor/EditorState.h"

#include <QList>
#include <QUuid>
#include <Qt>

#include <optional>

namespace zova {

// A step as the selection rules see it: its id and stored order, in the guide's ordered sequence.
struct StepKey {
    QUuid id;
    qint64 order = 0;
};

namespace selection {

enum class Click { Plain, Toggle, Range };

// Ctrl wins over Shift; any other modifier makes a plain click.
Click clickKind(Qt::KeyboardModifiers modifiers);

// The selection after a click on `clicked`:
// - Plain: only the clicked step, focused.
// - Toggle: adds and focuses an unselected step; removes a selected one, and when it
//   was focused the focus moves to the first remaining selected step in `ordered`.
// - Range: every step whose order lies between the focused step's and the clicked
//   step's (both ends included), focusing the clicked one; without a focused step
//   in `ordered` it is a plain click.
Selection applyClick(const Selection& current, const QList<StepKey>& ordered, const QUuid& clicked, Click kind);

// The step focused after a deletion: the one just before the first deleted
// position, the first when the deletion began at the top, none when nothing is left.
// `remaining` is in order; `firstDeletedPosition` counts in the list before the deletion.
std::optional<QUuid> focusAfterDeletion(const QList<QUuid>& remaining, int firstDeletedPosition);

// The focus and selection when the editor appears: the first ordered step, unless
// a step is already focused.
Selection onAppear(const Selection& current, const QList<StepKey>& ordered);

} // namespace selection
} // namespace zova
