#include "editor/list/StepOrder.h"

namespace zova::step_order {

QList<Write> densify(const QList<qint64>& orders)
{
    QList<Write> writes;
    for (int i = 0; i < orders.size(); ++i)
        if (orders[i] != i)
            writes.append({ i, i });
    return writes;
}

std::optional<Move> planMove(const QList<qint64>& orders, int from, int gap)
{
    const int count = int(orders.size());
    if (from < 0 || from >= count || gap < 0 || gap > count || gap == from || gap == from + 1)
        return std::nullopt;
    Move move;
    for (int i = 0; i < count; ++i)
        move.sequence.append(i);
    move.sequence.removeAt(from);
    move.sequence.insert(from < gap ? gap - 1 : gap, from);
    for (int position = 0; position < count; ++position) {
        const int old = move.sequence[position];
        if (orders[old] != position)
            move.writes.append({ old, position });
    }
    return move;
}

int gapForPosition(int from, int to) { return from < to ? to + 1 : to; }

} // namespace zova::step_order
