#pragma once

#include "style/RoundSymbolButton.h"

namespace zova {

// The round close button of sheets and cards: a bold cross in the label colour on a
// 22 x 22 disc of the control background, edged inside by a separator hairline.
class CloseButton : public RoundSymbolButton {
    Q_OBJECT
public:
    static constexpr int side = 22;

    explicit CloseButton(QWidget* parent = nullptr);
};

} // namespace zova
