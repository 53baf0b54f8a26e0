#pragma once

#include "editor/EditorState.h"

#include <QList>

#include <optional>

namespace zova::step_list {

// The vertical rhythm of the step list: a drop gap above the first row and after
// every row, each row padded above and below. Gap k lies just above row k.
inline constexpr int gapHeight = 6;
inline constexpr int rowPadding = 3;
inline constexpr int sidePadding = 10;
inline constexpr int bottomPadding = 12;
// The auto-scroll strips along the top and bottom edges of the visible list.
inline constexpr int edgeZoneHeight = 50;

struct Layout {
    QList<int> rowTops;
    QList<int> rowHeights;
    QList<int> gapTops; // n + 1 gaps
    int height = 0;

    int count() const { return int(rowTops.size()); }
    int rowIndexAt(int y) const; // -1 outside every row
};

Layout layout(const QList<int>& rowHeights);

// The gap a drop at content height `y` lands in: over the upper half of a row the
// gap above it, over the lower half the gap below it, between rows that gap.
// Nothing over the dragged row itself.
std::optional<int> gapAt(const Layout& layout, int y, std::optional<int> draggedRow);

// The strip under `y` (0 at the top of the visible area), if any. A strip is
// there only while the list can scroll its way, so the gaps under it stay
// targets at either end of the list.
std::optional<ScrollDirection> edgeZoneAt(int y, int viewportHeight, bool canScrollUp, bool canScrollDown);

// One auto-scroll tick: the next gap from `lastActive`, one step in `direction`,
// kept within 0..count. Nothing when the list is empty or already at the end.
std::optional<int> autoScrollNext(ScrollDirection direction, int lastActive, int count);

// The scroll offset that shows gap `gap` at the top edge (up) or the bottom edge
// (down) of a viewport `viewportHeight` tall, within 0..maxScroll.
int scrollOffsetFor(const Layout& layout, int gap, ScrollDirection direction, int viewportHeight, int maxScroll);

} // namespace zova::step_list
