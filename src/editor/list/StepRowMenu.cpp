#include "editor/list/StepRowMenu.h"

#include "editor/EditorController.h"
#include "editor/EditorTexts.h"
#include "model/Guide.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QMenu>
#include <QPointer>

namespace zova {

QMenu* buildStepRowMenu(EditorController* controller, const QUuid& stepId, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("stepRowMenu"));
    const int position = controller->positionOf(stepId);
    const int count = int(controller->orderedSteps().size());
    QPointer<EditorController> target(controller);
    QAction* replace = menu->addAction(QStringLiteral("Replace screenshot…"));
    replace->setObjectName(QStringLiteral("replaceScreenshotAction"));
    replace->setEnabled(position >= 0);
    // Queued: the file dialog opens once the menu has closed.
    QObject::connect(
        replace, &QAction::triggered, controller,
        [target, stepId] {
            if (target)
                target->canvas().replaceScreenshot(stepId);
        },
        Qt::QueuedConnection);
    QAction* crop = menu->addAction(QStringLiteral("Crop…"));
    crop->setObjectName(QStringLiteral("cropStepAction"));
    crop->setEnabled(position >= 0);
    QObject::connect(crop, &QAction::triggered, menu, [target, stepId] {
        if (target)
            target->canvas().cropStep(stepId);
    });
    menu->addSeparator();
    QMenu* move = menu->addMenu(QStringLiteral("Move to Step"));
    move->setObjectName(QStringLiteral("moveToStepMenu"));
    move->setEnabled(position >= 0);
    for (const editor_texts::MoveEntry& entry : editor_texts::moveToStepEntries(position, count)) {
        QAction* action = move->addAction(entry.title);
        action->setEnabled(entry.enabled);
        // The entry stands for a position: the step moves from wherever it is when chosen.
        const int to = int(move->actions().size()) - 1;
        QObject::connect(action, &QAction::triggered, menu, [target, stepId, to] {
            if (target)
                target->list().moveToPosition(stepId, to);
        });
    }
    menu->addSeparator();
    QAction* remove
        = menu->addAction(Symbols::icon(QStringLiteral("trash"), ZOVAColor::label()), QStringLiteral("Delete step"));
    remove->setEnabled(position >= 0);
    QObject::connect(remove, &QAction::triggered, menu, [target, stepId] {
        if (target)
            target->list().requestDeleteStep(stepId);
    });
    return menu;
}

} // namespace zova
