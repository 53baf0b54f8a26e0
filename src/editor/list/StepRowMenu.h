#pragma once

#include <QUuid>

class QMenu;
class QWidget;

namespace zova {

class EditorController;

// The context menu of a step row: "Move to Step" with one entry per position
// (the row's own disabled), then "Delete step" for this step alone.
QMenu* buildStepRowMenu(EditorController* controller, const QUuid& stepId, QWidget* parent);

} // namespace zova
