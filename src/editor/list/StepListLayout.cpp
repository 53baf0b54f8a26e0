#include "editor/list/StepListLayout.h"

#include <algorithm>

namespace zova::step_list {

Layout layout(const QList<int>& rowHeights)
{
    Layout out;
    int y = 0;
    out.gapTops.append(y);
    y += gapHeight;
    for (int h : rowHeights) {
        y += rowPadding;
        out.rowTops.append(y);
        out.rowHeights.append(h);
        y += h + rowPadding;
        out.gapTops.append(y);
        y += gapHeight;
    }
    out.height = y + bottomPadding;
    return out;
}

int Layout::rowIndexAt(int y) const
{
    for (int i = 0; i < count(); ++i)
        if (y >= rowTops[i] && y < rowTops[i] + rowHeights[i])
            return i;
    return -1;
}

std::optional<int> gapAt(const Layout& layout, int y, std::optional<int> draggedRow)
{
    for (int i = 0; i < layout.count(); ++i) {
        const int padTop = layout.rowTops[i] - rowPadding;
        const int padBottom = layout.rowTops[i] + layout.rowHeights[i] + rowPadding;
        if (y < padTop)
            return i;
        if (y < padBottom) {
            if (draggedRow == i)
                return std::nullopt;
            return y < layout.rowTops[i] + layout.rowHeights[i] / 2 ? i : i + 1;
        }
    }
    return layout.count();
}

std::optional<ScrollDirection> edgeZoneAt(int y, int viewportHeight, bool canScrollUp, bool canScrollDown)
{
    if (canScrollUp && y >= 0 && y < edgeZoneHeight)
        return ScrollDirection::Up;
    if (canScrollDown && y < viewportHeight && y >= viewportHeight - edgeZoneHeight)
        return ScrollDirection::Down;
    return std::nullopt;
}

std::optional<int> autoScrollNext(ScrollDirection direction, int lastActive, int count)
{
    if (count < 1)
        return std::nullopt;
    const int next = std::clamp(lastActive + (direction == ScrollDirection::Down ? 1 : -1), 0, count);
    if (next == lastActive)
        return std::nullopt;
    return next;
}

int scrollOffsetFor(const Layout& layout, int gap, ScrollDirection direction, int viewportHeight, int maxScroll)
{
    if (gap < 0 || gap >= layout.gapTops.size())
        return 0;
    const int top = layout.gapTops[gap];
    const int offset = direction == ScrollDirection::Up ? top : top + gapHeight - viewportHeight;
    return std::clamp(offset, 0, std::max(maxScroll, 0));
}

} // namespace zova::step_list
