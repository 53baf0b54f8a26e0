#pragma once

#include "style/CircleButton.h"

namespace zova {

// The close button of sheets and cards: a bold cross on a 22 x 22 disc of the control background.
class CloseButton : public CircleButton {
    Q_OBJECT
public:
    static constexpr int side = 22;

    explicit CloseButton(QWidget* parent = nullptr);
};

} // namespace zova
