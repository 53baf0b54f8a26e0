#include "editor/list/SelectionRules.h"

#include <algorithm>

namespace zova::selection {

Click clickKind(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier)
        return Click::Toggle;
    if (modifiers & Qt::ShiftModifier)
        return Click::Range;
    return Click::Plain;
}

namespace {

std::optional<qint64> orderOf(const QList<StepKey>& ordered, const QUuid& id)
{
    for (const StepKey& key : ordered)
        if (key.id == id)
            return key.order;
    return std::nullopt;
}

Selection only(const QUuid& id) { return Selection { { id }, id }; }

} // namespace

Selection applyClick(const Selection& current, const QList<StepKey>& ordered, const QUuid& clicked, Click kind)
{
    switch (kind) {
    case Click::Toggle: {
        Selection next = current;
        if (!next.selected.contains(clicked)) {
            next.selected.insert(clicked);
            next.focused = clicked;
            return next;
        }
        next.selected.remove(clicked);
        if (next.focused == clicked) {
            next.focused.reset();
            for (const StepKey& key : ordered) {
                if (next.selected.contains(key.id)) {
                    next.focused = key.id;
                    break;
                }
            }
        }
        return next;
    }
    case Click::Range: {
        const std::optional<qint64> anchor = current.focused ? orderOf(ordered, *current.focused) : std::nullopt;
        const std::optional<qint64> target = orderOf(ordered, clicked);
        if (!anchor || !target)
            return only(clicked);
        const qint64 low = std::min(*anchor, *target);
        const qint64 high = std::max(*anchor, *target);
        Selection next;
        for (const StepKey& key : ordered)
            if (key.order >= low && key.order <= high)
                next.selected.insert(key.id);
        next.focused = clicked;
        return next;
    }
    case Click::Plain: return only(clicked);
    }
    return only(clicked);
}

std::optional<QUuid> focusAfterDeletion(const QList<QUuid>& remaining, int firstDeletedPosition)
{
    if (remaining.isEmpty())
        return std::nullopt;
    const qsizetype index = std::min<qsizetype>(std::max(firstDeletedPosition - 1, 0), remaining.size() - 1);
    return remaining[index];
}

Selection onAppear(const Selection& current, const QList<StepKey>& ordered)
{
    if (current.focused || ordered.isEmpty())
        return current;
    return only(ordered.first().id);
}

} // namespace zova::selection
