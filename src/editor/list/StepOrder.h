#pragma once

#include <QList>

#include <optional>

namespace zova::step_order {

// One order value to write: the step at `position` of the sequence it was given in.
struct Write {
    int position = 0;
    qint64 order = 0;
    bool operator==(const Write&) const = default;
};

// The writes that number a sequence 0, 1, 2, ... in its present order; steps
// already at their number are left out.
QList<Write> densify(const QList<qint64>& orders);

// A move of the step at `from` into gap `gap` (0..n for n steps) of a sequence
// whose stored orders are `orders`.
struct Move {
    // The old positions in their new sequence.
    QList<int> sequence;
    // Order values to write, by old position; unchanged steps are left out.
    QList<Write> writes;
};

// Nothing when `from` is not a position, the gap is outside 0..n, or the gap is
// the step's own (from or from + 1), which leaves everything where it is.
std::optional<Move> planMove(const QList<qint64>& orders, int from, int gap);

// The gap that puts the step at `from` at position `to`: the "Move to Step" entries.
int gapForPosition(int from, int to);

} // namespace zova::step_order
