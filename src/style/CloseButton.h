#pragma once

#include <QAbstractButton>

namespace zova {

// The round close button of sheets and cards: a bold cross in the label colour on a
// 22 x 22 disc of the control background, edged inside by a separator hairline.
class CloseButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int side = 22;

    explicit CloseButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return { side, side }; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zova
