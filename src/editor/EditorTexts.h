#pragma once

#include <QList>
#include <QString>

namespace zova::editor_texts {

// "1 step", "0 steps", "12 steps".
QString stepCount(qsizetype count);
// "2 selected · Delete".
QString selectionFooter(qsizetype count);
// "Delete 1 step?", "Delete 3 steps?".
QString deleteAlertTitle(qsizetype count);
// "This will remove the step and their screenshot. This can't be undone." and the plural.
QString deleteAlertMessage(qsizetype count);

// One entry of a row's "Move to Step" submenu.
struct MoveEntry {
    QString title; // "Step 1", ...
    bool enabled = true; // false for the row's own position
    int gap = 0; // the gap that lands the step at this position
    bool operator==(const MoveEntry&) const = default;
};
// The submenu of the step at `position` in a list of `count` steps.
QList<MoveEntry> moveToStepEntries(int position, int count);

} // namespace zova::editor_texts
