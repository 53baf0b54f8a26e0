#pragma once

#include <QAbstractButton>

namespace zova {

// A card the user selects among its siblings: a checkable button, exclusive with
// the other selectable cards of the same parent, so a click selects it and never
// leaves none selected. The selection is the checked state; subclasses paint from
// isChecked() and add nothing of their own to it.
class SelectableCard : public QAbstractButton {
    Q_OBJECT
public:
    explicit SelectableCard(QWidget* parent = nullptr);
};

} // namespace zova
