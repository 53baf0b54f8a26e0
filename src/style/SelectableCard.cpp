#include "style/SelectableCard.h"

namespace zova {

SelectableCard::SelectableCard(QWidget* parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setAutoExclusive(true);
    setCursor(Qt::PointingHandCursor);
}

} // namespace zova
