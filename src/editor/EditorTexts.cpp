#include "editor/EditorTexts.h"

#include "editor/list/StepOrder.h"

namespace zova::editor_texts {

namespace {
QString plural(qsizetype count) { return count == 1 ? QString() : QStringLiteral("s"); }
} // namespace

QString stepCount(qsizetype count) { return QString::number(count) + QStringLiteral(" step") + plural(count); }

QString selectionFooter(qsizetype count) { return QString::number(count) + QStringLiteral(" selected · Delete"); }

QString deleteAlertTitle(qsizetype count)
{
    return QStringLiteral("Delete ") + QString::number(count) + QStringLiteral(" step") + plural(count)
        + QStringLiteral("?");
}

QString deleteAlertMessage(qsizetype count)
{
    return QStringLiteral("This will remove the step") + plural(count) + QStringLiteral(" and their screenshot")
        + plural(count) + QStringLiteral(". This can't be undone.");
}

QList<MoveEntry> moveToStepEntries(int position, int count)
{
    QList<MoveEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.append({ QStringLiteral("Step ") + QString::number(i + 1), i != position,
            step_order::gapForPosition(position, i) });
    return entries;
}

} // namespace zova::editor_texts
